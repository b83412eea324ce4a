#pragma once

// The install list: the text file beside the installer in a package that says what to install
// and how. An example, with every key:
//
//   [product]
//   name = Tarvik command line      ; shown in the list of installed programs (required)
//   version = 3.0                    ; digits and dots (required)
//   publisher = Tarvik
//   key = Tarvik                     ; the uninstall entry's key name (required)
//   folder = Tarvik                  ; under %LOCALAPPDATA%\Programs (default Tarvik)
//   source = ..\files                ; where the files lie, from the list's folder (default .)
//   path = yes                       ; add the folder to the user's PATH (default no)
//   [files]                          ; one name a line, relative to source and to the folder
//   tarvik-cli.exe
//   doc\README.txt
//   [shortcut]                       ; optional: a Start menu shortcut
//   name = Tarvik
//   target = Tarvik.exe              ; one of the files
//   [association]                    ; optional: files of a type open with one of the files
//   extension = .sim
//   progid = Tarvik.Program
//   description = Tarvik SIM program
//   target = Tarvik.exe

#include "installer/Outcome.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace installer {

struct Shortcut {
    std::string name;   // the shortcut file's name without ".lnk"
    std::string target; // one of the installed files
    std::string description;
};

struct Association {
    std::string extension; // with its dot: ".sim"
    std::string progId;
    std::string description;
    std::string target; // one of the installed files
};

struct InstallList {
    std::string product;
    std::string version;
    std::string publisher;
    std::string key;
    std::string folder = "Tarvik";
    std::string source = ".";
    bool addToPath = false;
    std::vector<std::string> files; // backslash-separated, in list order
    std::optional<Shortcut> shortcut;
    std::optional<Association> association;
};

// The names the installer writes into the install folder itself: no list may name them.
inline constexpr std::string_view uninstallProgramName = "uninstall.exe";
inline constexpr std::string_view installRecordName = "uninstall.ini";

// Reads and checks an install list; a refusal names the line and what is wrong with it.
Outcome<InstallList> ParseInstallList(std::string_view text);

} // namespace installer
