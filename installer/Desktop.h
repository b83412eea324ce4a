#pragma once

// What the installer asks of the Windows shell besides files and the registry: shortcuts,
// telling running programs of changes, and expanding %VARIABLES%.

#include "installer/Outcome.h"

#include <string>
#include <string_view>

namespace installer {

struct ShortcutFile {
    std::string target;        // the program it starts
    std::string workingFolder; // where that program starts
    std::string description;
};

class Desktop {
public:
    virtual ~Desktop() = default;

    // Writes a shortcut file (.lnk) at path.
    virtual Status makeShortcut(std::string_view path, const ShortcutFile& shortcut) = 0;
    // Running programs (Explorer first) read the environment again: a new PATH reaches the
    // programs started after this.
    virtual void announceEnvironmentChange() = 0;
    // Explorer reads the file associations again.
    virtual void announceAssociationChange() = 0;
    // text with %VARIABLES% replaced by their values in this process's environment.
    virtual std::string expandVariables(std::string_view text) = 0;
};

} // namespace installer
