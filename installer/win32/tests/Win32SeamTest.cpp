// The installer's Win32 side against the system (under wine in CI): registry values of every
// kind, changes undone on the real registry, files held open by another handle, a shortcut
// file read back through the shell. Each test works in a key and a folder of its own.

#include "installer/FileChanges.h"
#include "installer/PathList.h"
#include "installer/RegistryChanges.h"
#include "installer/WindowsPath.h"
#include "installer/tests/FakeMachine.h"
#include "installer/win32/Win32Desktop.h"
#include "installer/win32/Win32FileSystem.h"
#include "installer/win32/Win32Registry.h"
#include "installer/win32/Win32Text.h"

#include <gtest/gtest.h>
#include <map>
#include <string>
#include <vector>
#include <windows.h>
// The shell's headers need windows.h before them.
#include <objbase.h>
#include <shobjidl.h>

namespace installer::test {
namespace {

// A key below HKEY_CURRENT_USER\Software for one test, deleted with everything in it after.
class ScratchKey {
public:
    ScratchKey()
        : path_("Software\\TarvikInstallerTest" + std::to_string(::GetCurrentProcessId())) {}
    ~ScratchKey() { ::RegDeleteTreeW(HKEY_CURRENT_USER, Wide(path_).c_str()); }
    ScratchKey(const ScratchKey&) = delete;
    ScratchKey& operator=(const ScratchKey&) = delete;
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

// A folder in the temporary folder for one test, deleted with its files after.
class ScratchFolder {
public:
    ScratchFolder() {
        wchar_t temp[MAX_PATH + 1] = {};
        ::GetTempPathW(MAX_PATH + 1, temp);
        path_ = Utf8(temp) + "tarvik-installer-test-" + std::to_string(::GetCurrentProcessId());
        ::CreateDirectoryW(Wide(path_).c_str(), nullptr);
    }
    ~ScratchFolder() {
        WIN32_FIND_DATAW found{};
        const HANDLE search = ::FindFirstFileW(Wide(path_ + "\\*").c_str(), &found);
        if (search != INVALID_HANDLE_VALUE) {
            do {
                ::DeleteFileW(Wide(path_ + "\\" + Utf8(found.cFileName)).c_str());
            } while (::FindNextFileW(search, &found));
            ::FindClose(search);
        }
        ::RemoveDirectoryW(Wide(path_).c_str());
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    std::string file(std::string_view name) const { return JoinPath(path_, name); }

private:
    std::string path_;
};

// Every value below a key, by "subkey\name".
std::map<std::string, RegistryValue> TreeOf(Registry& registry, const std::string& key) {
    std::map<std::string, RegistryValue> tree;
    for (const std::string& name : registry.valueNames(key).value) {
        tree[key + "|" + name] = *registry.readValue(key, name).value;
    }
    for (const std::string& subkey : registry.subkeyNames(key).value) {
        tree.merge(TreeOf(registry, JoinPath(key, subkey)));
        tree[JoinPath(key, subkey) + "|(key)"] = {};
    }
    return tree;
}

TEST(Win32Registry, ValuesKeepTheirKindAndContent) {
    ScratchKey scratch;
    Win32Registry registry;
    const std::string key = JoinPath(scratch.path(), "Deeper\\Still");
    const std::vector<std::pair<std::string, RegistryValue>> cases = {
        {"", {ValueKind::Text, "default value", 0}},
        {"Text",
         {ValueKind::Text,
          "Gr\xC3\xBC\xC3\x9F"
          "e \xE2\x82\xAC",
          0}},
        {"Empty", {ValueKind::Text, "", 0}},
        {"Path", {ValueKind::ExpandedText, "%USERPROFILE%\\bin;;C:\\tools", 0}},
        {"Number", {ValueKind::Number, "", 0xFFFFFFFFu}},
        // REG_BINARY (3) and REG_MULTI_SZ (7) are kept as their bytes.
        {"Binary", {ValueKind::Other, std::string("\x00\x01\xFF", 3), REG_BINARY}},
        {"Lines", {ValueKind::Other, std::string("a\0\0\0b\0\0\0\0\0", 10), REG_MULTI_SZ}},
    };
    for (const auto& [name, value] : cases) {
        SCOPED_TRACE(name);
        ASSERT_TRUE(registry.writeValue(key, name, value).ok());
        const auto read = registry.readValue(key, name);
        ASSERT_TRUE(read.ok()) << read.error;
        EXPECT_EQ(read.value, value);
    }
    EXPECT_EQ(registry.valueNames(key).value.size(), cases.size());
    EXPECT_EQ(registry.subkeyNames(scratch.path()).value, std::vector<std::string>{"Deeper"});
    // What does not exist is no failure.
    EXPECT_FALSE(registry.readValue(key, "Absent").value);
    EXPECT_FALSE(registry.readValue(key + "\\Absent", "x").value);
    EXPECT_FALSE(registry.keyExists(key + "\\Absent").value);
    EXPECT_TRUE(registry.deleteValue(key + "\\Absent", "x").ok());
    EXPECT_TRUE(registry.deleteKey(key + "\\Absent").ok());
    // A key with subkeys is not deleted as one.
    EXPECT_FALSE(registry.deleteKey(JoinPath(scratch.path(), "Deeper")).ok());
}

TEST(Win32Registry, ChangesAreUndoneOnTheSystemsRegistry) {
    ScratchKey scratch;
    Win32Registry registry;
    const std::string classes = JoinPath(scratch.path(), "Classes");
    ASSERT_TRUE(
        registry.writeValue(JoinPath(classes, ".sim"), "", {ValueKind::Text, "Other", 0}).ok());
    ASSERT_TRUE(registry
                    .writeValue(JoinPath(classes, "Other\\shell\\open\\command"), "",
                                {ValueKind::Text, "other.exe \"%1\"", 0})
                    .ok());
    ASSERT_TRUE(
        registry.writeValue(scratch.path(), "Path", {ValueKind::ExpandedText, "%A%;B", 0}).ok());
    const auto before = TreeOf(registry, scratch.path());
    RegistryChanges changes(registry);
    EXPECT_TRUE(changes.setValue(JoinPath(classes, ".sim"), "", {ValueKind::Text, "Mine", 0}).ok());
    EXPECT_TRUE(
        changes.setValue(JoinPath(classes, "Mine\\DefaultIcon"), "", {ValueKind::Text, "x", 0})
            .ok());
    EXPECT_TRUE(changes.removeKeyTree(JoinPath(classes, "Other")).ok());
    EXPECT_TRUE(changes.removeValue(scratch.path(), "Path").ok());
    EXPECT_NE(TreeOf(registry, scratch.path()), before);
    changes.rollBack();
    EXPECT_EQ(TreeOf(registry, scratch.path()), before);
}

TEST(Win32Desktop, PathEntriesCompareAfterTheSystemsExpansion) {
    Win32Desktop desktop;
    const ExpandVariables expand = [&](std::string_view t) { return desktop.expandVariables(t); };
    const std::string profile = expand("%USERPROFILE%");
    ASSERT_FALSE(profile.empty());
    ASSERT_NE(profile, "%USERPROFILE%");
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"%USERPROFILE%\\bin;C:\\x", "%USERPROFILE%\\bin;C:\\x"},
        {"C:\\x", "C:\\x;" + profile + "\\bin"},
        {"", profile + "\\bin"},
    };
    for (const auto& [before, after] : cases) {
        SCOPED_TRACE(before);
        EXPECT_EQ(AppendPathEntry(before, profile + "\\bin", expand).value, after);
        EXPECT_EQ(RemovePathEntry(after, profile + "\\BIN\\", expand).value,
                  before.starts_with("%") ? "C:\\x" : before);
    }
}

TEST(Win32FileSystem, AFileHeldOpenStopsTheSwapAndEverythingIsPutBack) {
    ScratchFolder folder;
    Win32FileSystem files;
    ASSERT_TRUE(files.writeFile(folder.file("a.dll"), "old a").ok());
    ASSERT_TRUE(files.writeFile(folder.file("b.dll"), "old b").ok());
    ASSERT_TRUE(files.writeFile(folder.file("new.bin"), "new").ok());
    // Another program holds b.dll open and shares nothing: it can be neither renamed nor deleted.
    const HANDLE held = ::CreateFileW(Wide(folder.file("b.dll")).c_str(), GENERIC_READ, 0, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    FileChanges changes(files);
    for (const char* name : {"a.dll", "b.dll"}) {
        ASSERT_TRUE(changes
                        .stage(folder.file(name),
                               [&](const std::string& staged) {
                                   return files.copyFile(folder.file("new.bin"), staged);
                               })
                        .ok());
    }
    const Status swapped = changes.swapIn();
    EXPECT_FALSE(swapped.ok());
    EXPECT_FALSE(swapped.error.empty());
    changes.rollBack();
    ::CloseHandle(held);
    EXPECT_EQ(files.readFile(folder.file("a.dll")).value, "old a");
    EXPECT_EQ(files.readFile(folder.file("b.dll")).value, "old b");
    for (const char* left : {"a.dll.tarvik-new", "b.dll.tarvik-new", "a.dll.tarvik-old"}) {
        EXPECT_FALSE(files.exists(folder.file(left))) << left;
    }
}

TEST(Win32Desktop, AShortcutLeadsToItsTarget) {
    ScratchFolder folder;
    Win32Desktop desktop;
    const std::string target = folder.file("Tarvik.exe");
    const std::string link = folder.file("Tarvik.lnk");
    ASSERT_TRUE(
        desktop.makeShortcut(link, {target, ParentFolder(target), "Program SIM cards"}).ok());
    IShellLinkW* shellLink = nullptr;
    ASSERT_TRUE(
        SUCCEEDED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                     IID_IShellLinkW, reinterpret_cast<void**>(&shellLink))));
    IPersistFile* file = nullptr;
    ASSERT_TRUE(
        SUCCEEDED(shellLink->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))));
    EXPECT_TRUE(SUCCEEDED(file->Load(Wide(link).c_str(), STGM_READ)));
    wchar_t path[MAX_PATH] = {};
    wchar_t description[256] = {};
    shellLink->GetPath(path, MAX_PATH, nullptr, SLGP_RAWPATH);
    shellLink->GetDescription(description, 256);
    file->Release();
    shellLink->Release();
    EXPECT_TRUE(SameName(Utf8(path), target)) << Utf8(path);
    EXPECT_EQ(Utf8(description), "Program SIM cards");
}

} // namespace
} // namespace installer::test
