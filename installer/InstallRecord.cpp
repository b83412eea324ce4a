#include "installer/InstallRecord.h"

#include "installer/ListFile.h"
#include "installer/WindowsPath.h"

#include <algorithm>

namespace installer {

std::string FormatInstallRecord(const InstallRecord& record) {
    std::string text = "; What the installer put on this machine: its uninstall removes it.\r\n";
    text += "[product]\r\nkey = " + record.key + "\r\nname = " + record.product + "\r\n";
    text += "[files]\r\n";
    for (const std::string& file : record.files) {
        text += file + "\r\n";
    }
    if (!record.leftovers.empty()) {
        text += "[leftovers]\r\n";
        for (const std::string& file : record.leftovers) {
            text += file + "\r\n";
        }
    }
    if (!record.pathEntry.empty()) {
        text += "[path]\r\nentry = " + record.pathEntry + "\r\n";
    }
    if (!record.shortcutFile.empty()) {
        text += "[shortcut]\r\nfile = " + record.shortcutFile + "\r\n";
    }
    if (!record.extension.empty()) {
        text += "[association]\r\nextension = " + record.extension +
                "\r\nprogid = " + record.progId + "\r\n";
    }
    return text;
}

namespace {

// The value of key in section, "" when absent.
std::string ValueOf(const ListSection& section, std::string_view key) {
    for (const ListLine& line : section.lines) {
        if (line.keyed && SameName(line.key, key)) {
            return line.value;
        }
    }
    return {};
}

std::string ReadNames(const ListSection& section, std::vector<std::string>& names) {
    for (const ListLine& line : section.lines) {
        if (line.keyed || !RelativeNameProblem(line.value).empty()) {
            return "line " + std::to_string(line.number) + ": '" + line.value +
                   "' is not a file in the folder";
        }
        names.push_back(WithBackslashes(line.value));
    }
    return {};
}

} // namespace

Outcome<InstallRecord> ParseInstallRecord(std::string_view text) {
    using Result = Outcome<InstallRecord>;
    Outcome<std::vector<ListSection>> sections = ReadListFile(text);
    if (!sections.ok()) {
        return Result::failure(sections.error);
    }
    InstallRecord record;
    for (const ListSection& section : sections.value) {
        std::string why;
        if (section.name == "product") {
            record.key = ValueOf(section, "key");
            record.product = ValueOf(section, "name");
        } else if (section.name == "files") {
            why = ReadNames(section, record.files);
        } else if (section.name == "leftovers") {
            why = ReadNames(section, record.leftovers);
        } else if (section.name == "path") {
            record.pathEntry = ValueOf(section, "entry");
        } else if (section.name == "shortcut") {
            record.shortcutFile = ValueOf(section, "file");
            if (!FoldCase(record.shortcutFile).ends_with(".lnk")) {
                why = "line " + std::to_string(section.number) + ": the shortcut is no .lnk file";
            }
        } else if (section.name == "association") {
            record.extension = ValueOf(section, "extension");
            record.progId = ValueOf(section, "progid");
        }
        if (!why.empty()) {
            return Result::failure(why);
        }
    }
    if (record.key.empty() || record.key.find('\\') != std::string::npos) {
        return Result::failure("the record names no uninstall key");
    }
    if (!record.extension.empty() && (!record.extension.starts_with('.') || record.progId.empty() ||
                                      record.extension.find('\\') != std::string::npos ||
                                      record.progId.find('\\') != std::string::npos)) {
        return Result::failure("the record's file association is incomplete");
    }
    return {std::move(record), {}};
}

} // namespace installer
