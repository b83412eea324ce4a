#pragma once

// The registry entries an install makes and an uninstall takes away: the uninstall entry, the
// user's PATH, a file association. Every change goes through RegistryChanges, so that the
// caller can undo them all.

#include "installer/InstallList.h"
#include "installer/InstallRecord.h"
#include "installer/InstallRun.h"
#include "installer/Registry.h"
#include "installer/RegistryChanges.h"

#include <string>
#include <string_view>

namespace installer {

// The user's PATH as an install leaves it.
struct PathPlan {
    std::string value;
    bool changes = false;
};

// The user's PATH value: its text ("" when there is none).
Outcome<std::string> ReadUserPath(Registry& registry);
// Writes the user's PATH as text to expand; an empty one is removed.
Status WriteUserPath(RegistryChanges& changes, const std::string& value);

// Takes away an association this installer made, leaving one that another program has taken
// over since.
Status RemoveAssociation(RegistryChanges& changes, Registry& registry, std::string_view extension,
                         std::string_view progId);

// The uninstall entry (replacing whatever a former install wrote there), the PATH as planned,
// and the list's association in place of the former install's.
Status WriteInstallSettings(const InstallList& list, const InstallPlaces& places,
                            const InstallRecord& former, const PathPlan& plan,
                            RegistryChanges& changes, Registry& registry);

} // namespace installer
