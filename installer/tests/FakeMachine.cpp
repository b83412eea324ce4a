#include "installer/tests/FakeMachine.h"

#include "installer/WindowsPath.h"

#include <algorithm>
#include <ostream>

namespace installer {
void PrintTo(const RegistryValue& value, std::ostream* out) {
    *out << "{" << static_cast<int>(value.kind) << ", \"" << value.text << "\", " << value.number
         << "}";
}
} // namespace installer

namespace installer::test {

bool FoldedLess::operator()(std::string_view a, std::string_view b) const {
    return FoldCase(a) < FoldCase(b);
}

Status FakeFileSystem::change(std::string_view path) {
    if (!counter_.next()) {
        return Status::failure("injected failure at " + std::string(path));
    }
    return {};
}

bool FakeFileSystem::exists(std::string_view path) {
    return files.contains(std::string(path)) || isFolder(path);
}

bool FakeFileSystem::isFolder(std::string_view path) {
    return folders.contains(std::string(path));
}

Status FakeFileSystem::copyFile(std::string_view from, std::string_view to) {
    const auto source = files.find(std::string(from));
    if (source == files.end()) {
        return Status::failure("no file " + std::string(from));
    }
    return writeFile(to, source->second);
}

Status FakeFileSystem::moveFile(std::string_view from, std::string_view to) {
    const auto source = files.find(std::string(from));
    if (source == files.end() || exists(to) || !isFolder(ParentFolder(to)) ||
        locked.contains(std::string(from))) {
        return Status::failure("cannot move " + std::string(from) + " to " + std::string(to));
    }
    if (Status status = change(from); !status.ok()) {
        return status;
    }
    files[std::string(to)] = source->second;
    files.erase(source);
    if (inUse.erase(std::string(from)) > 0) {
        inUse.insert(std::string(to));
    }
    return {};
}

Status FakeFileSystem::writeFile(std::string_view path, std::string_view bytes) {
    if (!isFolder(ParentFolder(path)) || isFolder(path)) {
        return Status::failure("no folder for " + std::string(path));
    }
    if (inUse.contains(std::string(path)) || locked.contains(std::string(path))) {
        return Status::failure(std::string(path) + " is in use");
    }
    if (Status status = change(path); !status.ok()) {
        return status;
    }
    files[std::string(path)] = bytes;
    return {};
}

Outcome<std::string> FakeFileSystem::readFile(std::string_view path) {
    const auto file = files.find(std::string(path));
    if (file == files.end()) {
        return Outcome<std::string>::failure("no file " + std::string(path));
    }
    return {file->second, {}};
}

Status FakeFileSystem::removeFile(std::string_view path) {
    if (!files.contains(std::string(path)) || inUse.contains(std::string(path)) ||
        locked.contains(std::string(path))) {
        return Status::failure("cannot delete " + std::string(path));
    }
    if (Status status = change(path); !status.ok()) {
        return status;
    }
    files.erase(std::string(path));
    return {};
}

Status FakeFileSystem::makeFolder(std::string_view path) {
    if (exists(path) || !isFolder(ParentFolder(path))) {
        return Status::failure("cannot make " + std::string(path));
    }
    if (Status status = change(path); !status.ok()) {
        return status;
    }
    folders.insert(std::string(path));
    return {};
}

Status FakeFileSystem::removeFolder(std::string_view path) {
    const std::string inside = JoinPath(path, "");
    const auto holds = [&](const std::string& p) {
        return FoldCase(p).starts_with(FoldCase(inside));
    };
    const bool empty =
        std::none_of(files.begin(), files.end(), [&](const auto& f) { return holds(f.first); }) &&
        std::none_of(folders.begin(), folders.end(), holds);
    if (!isFolder(path) || !empty) {
        return Status::failure("cannot remove the folder " + std::string(path));
    }
    if (Status status = change(path); !status.ok()) {
        return status;
    }
    folders.erase(std::string(path));
    return {};
}

Status FakeRegistry::change() {
    if (!counter_.next()) {
        return Status::failure("injected registry failure");
    }
    return {};
}

Outcome<std::optional<RegistryValue>> FakeRegistry::readValue(std::string_view key,
                                                              std::string_view name) {
    const auto found = keys.find(std::string(key));
    if (found == keys.end()) {
        return {};
    }
    const auto value = found->second.find(std::string(name));
    if (value == found->second.end()) {
        return {};
    }
    return {value->second, {}};
}

Status FakeRegistry::writeValue(std::string_view key, std::string_view name,
                                const RegistryValue& value) {
    if (Status made = createKey(key); !made.ok()) {
        return made;
    }
    if (Status status = change(); !status.ok()) {
        return status;
    }
    keys[std::string(key)][std::string(name)] = value;
    return {};
}

Status FakeRegistry::deleteValue(std::string_view key, std::string_view name) {
    const auto found = keys.find(std::string(key));
    if (found == keys.end() || !found->second.contains(std::string(name))) {
        return {};
    }
    if (Status status = change(); !status.ok()) {
        return status;
    }
    found->second.erase(std::string(name));
    return {};
}

Outcome<bool> FakeRegistry::keyExists(std::string_view key) {
    return {keys.contains(std::string(key)), {}};
}

Status FakeRegistry::createKey(std::string_view key) {
    std::vector<std::string> missing;
    for (std::string above(key); !above.empty() && !keys.contains(above);
         above = ParentFolder(above)) {
        missing.push_back(above);
    }
    if (missing.empty()) {
        return {};
    }
    if (Status status = change(); !status.ok()) {
        return status;
    }
    for (const std::string& path : missing) {
        keys[path];
    }
    return {};
}

Status FakeRegistry::deleteKey(std::string_view key) {
    Outcome<std::vector<std::string>> subkeys = subkeyNames(key);
    if (!subkeys.value.empty()) {
        return Status::failure("the key has subkeys");
    }
    if (!keys.contains(std::string(key))) {
        return {};
    }
    if (Status status = change(); !status.ok()) {
        return status;
    }
    keys.erase(std::string(key));
    return {};
}

Outcome<std::vector<std::string>> FakeRegistry::valueNames(std::string_view key) {
    std::vector<std::string> names;
    if (const auto found = keys.find(std::string(key)); found != keys.end()) {
        for (const auto& [name, value] : found->second) {
            names.push_back(name);
        }
    }
    return {names, {}};
}

Outcome<std::vector<std::string>> FakeRegistry::subkeyNames(std::string_view key) {
    std::vector<std::string> names;
    for (const auto& [path, values] : keys) {
        if (SameName(ParentFolder(path), key)) {
            names.emplace_back(LastComponent(path));
        }
    }
    return {names, {}};
}

Status FakeDesktop::makeShortcut(std::string_view path, const ShortcutFile& shortcut) {
    return files->writeFile(path, "link to " + shortcut.target + " in " + shortcut.workingFolder);
}

std::string FakeDesktop::expandVariables(std::string_view text) {
    std::string expanded(text);
    for (const auto& [name, value] : variables) {
        for (std::size_t at; (at = expanded.find(name)) != std::string::npos;) {
            expanded.replace(at, name.size(), value);
        }
    }
    return expanded;
}

FakeMachine::FakeMachine() {
    desktop.files = &files;
    desktop.variables = {{"%LOCALAPPDATA%", "C:\\Users\\u\\AppData\\Local"},
                         {"%USERPROFILE%", "C:\\Users\\u"}};
    for (const char* folder :
         {"C:", "C:\\pkg", "C:\\pkg\\setup", "C:\\pkg\\files", "C:\\Temp", "C:\\Users",
          "C:\\Users\\u", "C:\\Users\\u\\AppData", "C:\\Users\\u\\AppData\\Local",
          "C:\\Users\\u\\AppData\\Local\\Programs", "C:\\Users\\u\\AppData\\Roaming",
          "C:\\Users\\u\\AppData\\Roaming\\Microsoft",
          "C:\\Users\\u\\AppData\\Roaming\\Microsoft\\Windows",
          "C:\\Users\\u\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu",
          "C:\\Users\\u\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs"}) {
        files.folders.insert(folder);
    }
    files.files["C:\\pkg\\setup\\install.exe"] = "installer program";
    for (const char* name : {"tarvik-cli.exe", "quenlib.dll", "README.txt"}) {
        files.files[std::string("C:\\pkg\\files\\") + name] = std::string("new ") + name;
    }
    files.files["C:\\pkg\\files\\Tarvik.exe"] = "new Tarvik.exe";
    files.folders.insert("C:\\pkg\\files\\doc");
    files.files["C:\\pkg\\files\\doc\\guide.pdf"] = "new guide";
    registry.keys["Environment"]["Path"] = {ValueKind::ExpandedText, "%USERPROFILE%\\bin", 0};
    // The keys a user's registry has from the start.
    for (const char* key :
         {"Software", "Software\\Classes", "Software\\Microsoft", "Software\\Microsoft\\Windows",
          "Software\\Microsoft\\Windows\\CurrentVersion",
          "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall"}) {
        registry.keys[key];
    }
}

InstallPlaces FakeMachine::places() {
    return {"C:\\pkg\\setup", "C:\\Users\\u\\AppData\\Local\\Programs\\Tarvik",
            "C:\\Users\\u\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs",
            "C:\\pkg\\setup\\install.exe", "C:\\Temp"};
}

} // namespace installer::test
