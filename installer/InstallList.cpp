#include "installer/InstallList.h"

#include "installer/ListFile.h"
#include "installer/WindowsPath.h"

#include <algorithm>
#include <functional>
#include <map>

namespace installer {

namespace {

using Result = Outcome<InstallList>;

std::string AtLine(int number, std::string_view what) {
    return "line " + std::to_string(number) + ": " + std::string(what);
}

// The keys of one section, each bound to the field it sets.
using KeyTable = std::map<std::string, std::string*, std::less<>>;

// Sets the fields of a keyed section; refuses bare items, unknown and repeated keys.
std::string ReadKeys(const ListSection& section, const KeyTable& keys) {
    std::vector<std::string> seen;
    for (const ListLine& line : section.lines) {
        if (!line.keyed) {
            return AtLine(line.number, "[" + section.name + "] takes only key = value lines");
        }
        const auto field = keys.find(FoldCase(line.key));
        if (field == keys.end()) {
            return AtLine(line.number, "[" + section.name + "] has no key '" + line.key + "'");
        }
        if (std::find(seen.begin(), seen.end(), field->first) != seen.end()) {
            return AtLine(line.number, "'" + line.key + "' is given twice");
        }
        seen.push_back(field->first);
        *field->second = line.value;
    }
    return {};
}

// Why a required field is missing, or "".
std::string Required(const ListSection& section, const KeyTable& keys) {
    for (const auto& [name, field] : keys) {
        if (field->empty()) {
            return AtLine(section.number, "[" + section.name + "] needs '" + name + "'");
        }
    }
    return {};
}

bool OnlyOf(std::string_view text, std::string_view allowed) {
    return !text.empty() && text.find_first_not_of(allowed) == std::string_view::npos;
}

constexpr std::string_view lettersDigits =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";

std::string ReadProduct(const ListSection& section, InstallList& list) {
    std::string folder;
    std::string source;
    std::string path;
    const KeyTable keys = {
        {"name", &list.product}, {"version", &list.version}, {"publisher", &list.publisher},
        {"key", &list.key},      {"folder", &folder},        {"source", &source},
        {"path", &path}};
    if (std::string why = ReadKeys(section, keys); !why.empty()) {
        return why;
    }
    if (std::string why = Required(
            section, {{"name", &list.product}, {"version", &list.version}, {"key", &list.key}});
        !why.empty()) {
        return why;
    }
    const int at = section.number;
    if (!OnlyOf(list.version, "0123456789.") || list.version.front() == '.' ||
        list.version.back() == '.' || list.version.find("..") != std::string::npos) {
        return AtLine(at, "the version '" + list.version + "' is not digits and dots");
    }
    if (!OnlyOf(list.key, std::string(lettersDigits) + "._-")) {
        return AtLine(at, "the key '" + list.key + "' may hold letters, digits, '.', '_', '-'");
    }
    if (!folder.empty()) {
        if (!RelativeNameProblem(folder).empty() ||
            WithBackslashes(folder).find('\\') != std::string::npos) {
            return AtLine(at, "the folder '" + folder + "' is not one plain folder name");
        }
        list.folder = folder;
    }
    if (!source.empty()) {
        // The source may lead out of the list's folder, but not to another drive or the root.
        list.source = WithBackslashes(source);
        if (list.source.find(':') != std::string::npos || list.source.starts_with('\\')) {
            return AtLine(at, "the source '" + source + "' is not relative to the list");
        }
    }
    if (path == "yes" || path == "no" || path.empty()) {
        list.addToPath = path == "yes";
    } else {
        return AtLine(at, "path is yes or no, not '" + path + "'");
    }
    return {};
}

std::string ReadFiles(const ListSection& section, InstallList& list) {
    for (const ListLine& line : section.lines) {
        if (line.keyed) {
            return AtLine(line.number, "[files] takes one file name a line");
        }
        const std::string name = WithBackslashes(line.value);
        if (std::string why = RelativeNameProblem(name); !why.empty()) {
            return AtLine(line.number, "the file name '" + line.value + "' " + why);
        }
        if (SameName(name, uninstallProgramName) || SameName(name, installRecordName)) {
            return AtLine(line.number, "'" + line.value + "' is the installer's own file");
        }
        const bool repeated = std::any_of(list.files.begin(), list.files.end(),
                                          [&](const std::string& f) { return SameName(f, name); });
        if (repeated) {
            return AtLine(line.number, "'" + line.value + "' is listed twice");
        }
        list.files.push_back(name);
    }
    if (list.files.empty()) {
        return AtLine(section.number, "[files] lists no file");
    }
    return {};
}

// target must be one of the listed files; gives it as listed.
std::string ListedTarget(const InstallList& list, const ListSection& section, std::string& target) {
    const std::string name = WithBackslashes(target);
    const auto found = std::find_if(list.files.begin(), list.files.end(),
                                    [&](const std::string& f) { return SameName(f, name); });
    if (found == list.files.end()) {
        return AtLine(section.number,
                      "[" + section.name + "] target '" + target + "' is not in [files]");
    }
    target = *found;
    return {};
}

std::string ReadShortcut(const ListSection& section, InstallList& list) {
    Shortcut shortcut;
    if (std::string why = ReadKeys(section, {{"name", &shortcut.name},
                                             {"target", &shortcut.target},
                                             {"description", &shortcut.description}});
        !why.empty()) {
        return why;
    }
    if (std::string why =
            Required(section, {{"name", &shortcut.name}, {"target", &shortcut.target}});
        !why.empty()) {
        return why;
    }
    if (!RelativeNameProblem(shortcut.name).empty() ||
        WithBackslashes(shortcut.name).find('\\') != std::string::npos) {
        return AtLine(section.number,
                      "the shortcut name '" + shortcut.name + "' is not one plain file name");
    }
    list.shortcut = shortcut;
    return ListedTarget(list, section, list.shortcut->target);
}

std::string ReadAssociation(const ListSection& section, InstallList& list) {
    Association association;
    const KeyTable keys = {{"extension", &association.extension},
                           {"progid", &association.progId},
                           {"description", &association.description},
                           {"target", &association.target}};
    if (std::string why = ReadKeys(section, keys); !why.empty()) {
        return why;
    }
    if (std::string why = Required(section, keys); !why.empty()) {
        return why;
    }
    const std::string& extension = association.extension;
    if (extension.size() < 2 || extension.front() != '.' ||
        !OnlyOf(extension.substr(1), lettersDigits)) {
        return AtLine(section.number,
                      "the extension '" + extension + "' is a dot and letters or digits");
    }
    if (!OnlyOf(association.progId, std::string(lettersDigits) + ".") ||
        association.progId.front() == '.') {
        return AtLine(section.number,
                      "the progid '" + association.progId + "' is letters, digits and dots");
    }
    list.association = association;
    return ListedTarget(list, section, list.association->target);
}

} // namespace

Outcome<InstallList> ParseInstallList(std::string_view text) {
    Outcome<std::vector<ListSection>> sections = ReadListFile(text);
    if (!sections.ok()) {
        return Result::failure(sections.error);
    }
    using Reader = std::string (*)(const ListSection&, InstallList&);
    // In this order: the targets of a shortcut and an association are checked against the files.
    const std::vector<std::pair<std::string_view, Reader>> readers = {
        {"product", ReadProduct},
        {"files", ReadFiles},
        {"shortcut", ReadShortcut},
        {"association", ReadAssociation}};
    for (const ListSection& section : sections.value) {
        const bool known = std::any_of(readers.begin(), readers.end(),
                                       [&](const auto& r) { return r.first == section.name; });
        if (!known) {
            return Result::failure(
                AtLine(section.number, "unknown section [" + section.name + "]"));
        }
    }
    InstallList list;
    for (const auto& [name, read] : readers) {
        const auto section = std::find_if(sections.value.begin(), sections.value.end(),
                                          [&](const ListSection& s) { return s.name == name; });
        if (section == sections.value.end()) {
            if (name == "product" || name == "files") {
                return Result::failure("the list has no [" + std::string(name) + "] section");
            }
            continue;
        }
        if (std::string why = read(*section, list); !why.empty()) {
            return Result::failure(why);
        }
    }
    return {std::move(list), {}};
}

} // namespace installer
