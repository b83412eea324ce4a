#include "installer/InstallList.h"

#include "installer/ListFile.h"
#include "installer/Switches.h"
#include "installer/WindowsPath.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace installer::test {
namespace {

TEST(WindowsPath, DotsAreResolvedWithoutLeavingTheDrive) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"C:\\pkg\\setup\\..\\files", "C:\\pkg\\files"},
        {"C:\\pkg\\.\\setup\\.", "C:\\pkg\\setup"},
        {"C:\\pkg\\..\\..\\..\\x", "C:\\x"},
        {"C:\\pkg", "C:\\pkg"},
    };
    for (const auto& [path, resolved] : cases) {
        EXPECT_EQ(WithoutDots(path), resolved) << path;
    }
}

TEST(ListFile, ReadsSectionsKeysAndItemsAndNamesTheLineOfAFault) {
    struct Case {
        std::string text;
        std::string error; // "" when the text is read
        std::size_t sections = 0;
    };
    const std::vector<Case> cases = {
        {"[a]\nx = 1\n[b]\nitem\n", "", 2},
        {"\xEF\xBB\xBF[a]\r\n  key=  spaced value  \r\n", "", 1},
        {"; note\n# note\n\n[a]\n", "", 1},
        {"", "", 0},
        {"x = 1\n[a]\n", "line 1: comes before the first [section]", 0},
        {"[a]\n[b\n", "line 2: a section header ends in ']'", 0},
        {"[a]\n[ ]\n", "line 2: the section has no name", 0},
        {"[a]\n[b]\n[a]\n", "line 3: section [a] comes twice", 0},
        {"[a]\n = value\n", "line 2: has no key before its '='", 0},
        {"[a]\nname\xC3\n", "line 2: is not UTF-8 text", 0},
        {std::string("[a]\nna\0me\n", 10), "line 2: is not UTF-8 text", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const auto read = ReadListFile(c.text);
        EXPECT_EQ(read.error, c.error);
        EXPECT_EQ(read.value.size(), c.sections);
    }
    const auto read = ReadListFile("\xEF\xBB\xBF[a]\r\n  key=  spaced = value  \r\nbare item\r\n");
    ASSERT_TRUE(read.ok());
    const std::vector<ListLine>& lines = read.value.at(0).lines;
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_TRUE(lines[0].keyed);
    EXPECT_EQ(lines[0].key, "key");
    EXPECT_EQ(lines[0].value, "spaced = value");
    EXPECT_EQ(lines[0].number, 2);
    EXPECT_FALSE(lines[1].keyed);
    EXPECT_EQ(lines[1].value, "bare item");
}

TEST(RelativeName, AcceptsNamesInsideTheFolderOnly) {
    // The names Windows refuses or treats as devices (Microsoft's "Naming Files, Paths, and
    // Namespaces").
    const std::vector<std::pair<std::string, bool>> cases = {
        {"tarvik-cli.exe", true},
        {"doc\\guide.pdf", true},
        {"doc/guide.pdf", true},
        {"lang\\de\\tarvik.qm", true},
        {"console.txt", true},
        {"COM10", true},
        {"", false},
        {"..\\evil.exe", false},
        {"a\\..\\..\\b", false},
        {".\\a", false},
        {"\\root.txt", false},
        {"C:\\x.exe", false},
        {"C:x.exe", false},
        {"a\\\\b", false},
        {"dir\\", false},
        {"a*.exe", false},
        {"a?.exe", false},
        {"a|b", false},
        {"name.", false},
        {"name ", false},
        {"CON", false},
        {"nul.tar.gz", false},
        {"doc\\Lpt1.log", false},
        {"tab\there", false},
        {std::string(201, 'a'), false},
    };
    for (const auto& [name, accepted] : cases) {
        SCOPED_TRACE(name);
        EXPECT_EQ(RelativeNameProblem(name).empty(), accepted) << RelativeNameProblem(name);
    }
}

constexpr const char* fullList = R"(; a package's install list
[product]
name = Tarvik
version = 3.0.1
publisher = Tarvik team
key = Tarvik
folder = Tarvik
source = ..\files
path = yes
[files]
Tarvik.exe
quenlib.dll
doc/guide.pdf
[shortcut]
name = Tarvik
target = tarvik.EXE
description = Program SIM cards
[association]
extension = .sim
progid = Tarvik.Program
description = Tarvik SIM program
target = Tarvik.exe
)";

TEST(InstallList, ReadsEveryKey) {
    const auto parsed = ParseInstallList(fullList);
    ASSERT_TRUE(parsed.ok()) << parsed.error;
    const InstallList& list = parsed.value;
    EXPECT_EQ(list.product, "Tarvik");
    EXPECT_EQ(list.version, "3.0.1");
    EXPECT_EQ(list.publisher, "Tarvik team");
    EXPECT_EQ(list.key, "Tarvik");
    EXPECT_EQ(list.source, "..\\files");
    EXPECT_TRUE(list.addToPath);
    EXPECT_EQ(list.files,
              (std::vector<std::string>{"Tarvik.exe", "quenlib.dll", "doc\\guide.pdf"}));
    ASSERT_TRUE(list.shortcut);
    // The target as the files list spells it.
    EXPECT_EQ(list.shortcut->target, "Tarvik.exe");
    EXPECT_EQ(list.shortcut->description, "Program SIM cards");
    ASSERT_TRUE(list.association);
    EXPECT_EQ(list.association->extension, ".sim");
    EXPECT_EQ(list.association->progId, "Tarvik.Program");

    const auto least = ParseInstallList("[product]\nname=A\nversion=1\nkey=A\n[files]\na.exe\n");
    ASSERT_TRUE(least.ok()) << least.error;
    EXPECT_EQ(least.value.folder, "Tarvik");
    EXPECT_EQ(least.value.source, ".");
    EXPECT_FALSE(least.value.addToPath);
    EXPECT_FALSE(least.value.shortcut);
    EXPECT_FALSE(least.value.association);
}

TEST(InstallList, RefusesAFaultyListSayingWhere) {
    const std::string product = "[product]\nname=A\nversion=1\nkey=A\n";
    const std::string files = "[files]\na.exe\n";
    const std::vector<std::pair<std::string, std::string>> cases = {
        {files, "the list has no [product] section"},
        {product, "the list has no [files] section"},
        {product + "[files]\n", "line 5: [files] lists no file"},
        {"[product]\nname=A\nkey=A\n" + files, "line 1: [product] needs 'version'"},
        {product + "colour=red\n" + files, "line 5: [product] has no key 'colour'"},
        {product + "name=B\n" + files, "line 5: 'name' is given twice"},
        {product + "folder\n" + files, "line 5: [product] takes only key = value lines"},
        {"[product]\nname=A\nversion=1.x\nkey=A\n" + files,
         "line 1: the version '1.x' is not digits and dots"},
        {"[product]\nname=A\nversion=1\nkey=A\\B\n" + files,
         "line 1: the key 'A\\B' may hold letters, digits, '.', '_', '-'"},
        {product + "folder=a\\b\n" + files,
         "line 1: the folder 'a\\b' is not one plain folder name"},
        {product + "folder=..\n" + files, "line 1: the folder '..' is not one plain folder name"},
        {product + "source=C:\\x\n" + files,
         "line 1: the source 'C:\\x' is not relative to the list"},
        {product + "path=maybe\n" + files, "line 1: path is yes or no, not 'maybe'"},
        {product + "[files]\n..\\a.exe\n", "line 6: the file name '..\\a.exe' leaves its folder"},
        {product + "[files]\na.exe\nA.EXE\n", "line 7: 'A.EXE' is listed twice"},
        {product + "[files]\nUninstall.exe\n",
         "line 6: 'Uninstall.exe' is the installer's own file"},
        {product + "[files]\nx=y\n", "line 6: [files] takes one file name a line"},
        {product + files + "[shortcut]\nname=S\ntarget=b.exe\n",
         "line 7: [shortcut] target 'b.exe' is not in [files]"},
        {product + files + "[shortcut]\ntarget=a.exe\n", "line 7: [shortcut] needs 'name'"},
        {product + files + "[shortcut]\nname=S\\T\ntarget=a.exe\n",
         "line 7: the shortcut name 'S\\T' is not one plain file name"},
        {product + files + "[association]\nextension=sim\nprogid=P\ndescription=D\ntarget=a.exe\n",
         "line 7: the extension 'sim' is a dot and letters or digits"},
        {product + files +
             "[association]\nextension=.sim\nprogid=P\\Q\ndescription=D\ntarget=a.exe\n",
         "line 7: the progid 'P\\Q' is letters, digits and dots"},
        {product + files + "[association]\nextension=.sim\nprogid=P\ntarget=a.exe\n",
         "line 7: [association] needs 'description'"},
        {product + files + "[extra]\n", "line 7: unknown section [extra]"},
    };
    for (const auto& [text, error] : cases) {
        SCOPED_TRACE(text);
        EXPECT_EQ(ParseInstallList(text).error, error);
    }
}

TEST(Switches, SetupsSwitchesAndTheUninstallSwitchesAreKnown) {
    struct Case {
        std::vector<std::string> arguments;
        bool ok;
        Task task;
        bool quiet;
    };
    const std::vector<Case> cases = {
        {{}, true, Task::Install, false},
        {{"/i"}, true, Task::Install, true},
        {{"/I"}, true, Task::Install, true},
        {{"/L"}, true, Task::Install, false},
        {{"/uninstall"}, true, Task::Uninstall, false},
        {{"/Uninstall", "/QUIET"}, true, Task::Uninstall, true},
        {{"/x"}, false, Task::Install, false},
        {{"C:\\other"}, false, Task::Install, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments.empty() ? "" : c.arguments.front());
        const auto read = ReadSwitches(c.arguments);
        ASSERT_EQ(read.ok(), c.ok) << read.error;
        EXPECT_EQ(read.value.task, c.task);
        EXPECT_EQ(read.value.quiet, c.quiet);
    }
}

} // namespace
} // namespace installer::test
