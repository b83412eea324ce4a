#pragma once

// An install and an uninstall from start to end, on the machine behind the three interfaces.
// Either everything is done or nothing: a failure undoes the files and registry values changed
// so far and says what failed; the only thing an uninstall may leave is a file a program still
// runs from, moved out of the folder into the temporary folder.

#include "installer/Desktop.h"
#include "installer/FileSystem.h"
#include "installer/InstallList.h"
#include "installer/Outcome.h"
#include "installer/Registry.h"

#include <string>
#include <string_view>

namespace installer {

struct Machine {
    FileSystem& files;
    Registry& registry;
    Desktop& desktop;
};

struct InstallPlaces {
    std::string packageFolder;   // the install list's folder
    std::string installFolder;   // where the files go
    std::string startMenuFolder; // the user's Start menu programs
    std::string installerPath;   // this program: copied into the folder as its uninstaller
    std::string tempFolder;      // where an uninstall puts files still in use
};

// Where the registry keeps what the installer writes, below HKEY_CURRENT_USER.
inline constexpr std::string_view uninstallKeys =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
inline constexpr std::string_view environmentKey = "Environment";
inline constexpr std::string_view pathValueName = "Path";
inline constexpr std::string_view classesKey = "Software\\Classes";

// How every failure's message ends: a failure undoes what was done.
inline constexpr std::string_view nothingChanged = " Nothing was changed.";

// The switches of the installer's command line that the uninstall entry uses.
inline constexpr std::string_view uninstallSwitch = "/uninstall";
inline constexpr std::string_view quietSwitch = "/quiet";

// Installs what the list names; gives the message that tells the user it is done.
Outcome<std::string> InstallProduct(const InstallList& list, const InstallPlaces& places,
                                    Machine& machine);
// Removes what the record in places.installFolder names.
Outcome<std::string> UninstallProduct(const InstallPlaces& places, Machine& machine);

} // namespace installer
