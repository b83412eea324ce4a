#pragma once

// A machine in memory for the installer's tests: files, folders and registry values as maps
// that tests compare, and a counter of changes that makes the n-th change fail.

#include "installer/Desktop.h"
#include "installer/FileSystem.h"
#include "installer/InstallRun.h"
#include "installer/Registry.h"

#include <iosfwd>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace installer {
// How a failed expectation shows a value.
void PrintTo(const RegistryValue& value, std::ostream* out);
} // namespace installer

namespace installer::test {

// Orders names as Windows compares them: A-Z as a-z.
struct FoldedLess {
    bool operator()(std::string_view a, std::string_view b) const;
};
template <typename T>
using FoldedMap = std::map<std::string, T, FoldedLess>;

// Counts the changes to files and registry together; the one numbered failAt fails.
struct ChangeCounter {
    int made = 0;
    std::optional<int> failAt;

    // Whether this change goes ahead.
    bool next() {
        const int number = made++;
        return !(failAt && number == *failAt);
    }
};

class FakeFileSystem : public FileSystem {
public:
    explicit FakeFileSystem(ChangeCounter& counter) : counter_(counter) {}

    FoldedMap<std::string> files;
    std::set<std::string, FoldedLess> folders;
    std::set<std::string, FoldedLess> inUse;  // may be moved but not deleted: a running program
    std::set<std::string, FoldedLess> locked; // open without sharing: neither moved nor deleted

    bool exists(std::string_view path) override;
    bool isFolder(std::string_view path) override;
    Status copyFile(std::string_view from, std::string_view to) override;
    Status moveFile(std::string_view from, std::string_view to) override;
    Status writeFile(std::string_view path, std::string_view bytes) override;
    Outcome<std::string> readFile(std::string_view path) override;
    Status removeFile(std::string_view path) override;
    Status makeFolder(std::string_view path) override;
    Status removeFolder(std::string_view path) override;

private:
    Status change(std::string_view path);
    ChangeCounter& counter_;
};

class FakeRegistry : public Registry {
public:
    explicit FakeRegistry(ChangeCounter& counter) : counter_(counter) {}

    // Every key by its path, each with its values by name.
    FoldedMap<FoldedMap<RegistryValue>> keys;

    Outcome<std::optional<RegistryValue>> readValue(std::string_view key,
                                                    std::string_view name) override;
    Status writeValue(std::string_view key, std::string_view name,
                      const RegistryValue& value) override;
    Status deleteValue(std::string_view key, std::string_view name) override;
    Outcome<bool> keyExists(std::string_view key) override;
    Status createKey(std::string_view key) override;
    Status deleteKey(std::string_view key) override;
    Outcome<std::vector<std::string>> valueNames(std::string_view key) override;
    Outcome<std::vector<std::string>> subkeyNames(std::string_view key) override;

private:
    Status change();
    ChangeCounter& counter_;
};

class FakeDesktop : public Desktop {
public:
    int environmentAnnounced = 0;
    int associationAnnounced = 0;
    std::map<std::string, std::string> variables; // %NAME% -> value
    FakeFileSystem* files = nullptr;              // where shortcuts are written

    Status makeShortcut(std::string_view path, const ShortcutFile& shortcut) override;
    void announceEnvironmentChange() override { ++environmentAnnounced; }
    void announceAssociationChange() override { ++associationAnnounced; }
    std::string expandVariables(std::string_view text) override;
};

// A user's machine with a package: C:\pkg\setup holds the installer and the list's files.
struct FakeMachine {
    ChangeCounter counter;
    FakeFileSystem files{counter};
    FakeRegistry registry{counter};
    FakeDesktop desktop;
    Machine machine{files, registry, desktop};

    FakeMachine();
    // The places of an install into C:\Users\u\AppData\Local\Programs\Tarvik.
    static InstallPlaces places();
};

} // namespace installer::test
