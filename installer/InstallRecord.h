#pragma once

// The record an install keeps in its folder (uninstall.ini): exactly what it put on the
// machine, so that the uninstall removes that and nothing else, and a new install over it
// knows what the former one left.

#include "installer/Outcome.h"

#include <string>
#include <string_view>
#include <vector>

namespace installer {

struct InstallRecord {
    std::string key;                    // the uninstall entry's key name
    std::string product;                // for the messages
    std::vector<std::string> files;     // relative to the folder, the uninstall program included
    std::vector<std::string> leftovers; // old copies that were in use when replaced
    std::string pathEntry;              // the entry added to the user's PATH, or ""
    std::string shortcutFile;           // the shortcut's full path, or ""
    std::string extension;              // the associated extension, or ""
    std::string progId;                 // and its program id
};

std::string FormatInstallRecord(const InstallRecord& record);
// Refuses a record whose file names leave the folder, whose shortcut is not a .lnk file, or
// that lacks its key: the uninstall deletes what it names.
Outcome<InstallRecord> ParseInstallRecord(std::string_view text);

} // namespace installer
