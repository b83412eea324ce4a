#include "setup/NameCase.h"

#include "setup/EntryPath.h"
#include "setup/tests/ScratchFolder.h"
#include "setup/tests/TestPackageBuilder.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <utility>
#include <vector>

namespace setup::test {
namespace {

namespace fs = std::filesystem;

TEST(NameCase, CapitalsOfWindows1252) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"setup.ini", "SETUP.INI"},
        {"Header.bmp", "HEADER.BMP"},
        // Accented small letters, s caron, oe, z caron and y diaeresis get their capitals.
        {"\xE0\xE9\xF6\xFE\x9A\x9C\x9E\xFF", "\xC0\xC9\xD6\xDE\x8A\x8C\x8E\x9F"},
        // The division sign, sharp s and micro sign have no capital; digits and signs stay.
        {"\xF7\xDF\xB5 1-_[]{}", "\xF7\xDF\xB5 1-_[]{}"},
        {"", ""},
    };
    for (const auto& [text, upper] : cases) {
        SCOPED_TRACE(text);
        EXPECT_EQ(UpperWindows1252(text), upper);
    }
    EXPECT_TRUE(EqualIgnoringCase("\\SETUP\\SETUP.INI", "\\setup\\setup.ini"));
    EXPECT_TRUE(EqualIgnoringCase("header.BMP", "Header.bmp"));
    EXPECT_FALSE(EqualIgnoringCase("setup.ini", "setup.ini "));
    EXPECT_FALSE(EqualIgnoringCase("\xF7", "\xD7"));
}

TEST(NameCase, FileNameKeysJoinSpellingsOfOneName) {
    EXPECT_EQ(FileNameKey("caf\u00e9.txt"), FileNameKey("CAF\u00c9.TXT"));
    EXPECT_EQ(FileNameKey("\u0161koda"), FileNameKey("\u0160KODA"));
    EXPECT_NE(FileNameKey("a"), FileNameKey("b"));
    // Names Windows-1252 cannot hold (a macron, an invalid UTF-8 byte) only match themselves.
    EXPECT_NE(FileNameKey("\u0101"), FileNameKey("\u0100"));
    EXPECT_EQ(FileNameKey("\u0101"), FileNameKey("\u0101"));
    EXPECT_NE(FileNameKey("\xFF"), FileNameKey("\xC3\xBF"));
}

TEST(NameCase, PathsResolveToExistingSpellings) {
    const ScratchFolder scratch;
    fs::create_directories(scratch / "Setup/Bin");
    WriteWholeFile(scratch / "Setup/Bin/Install.SH", "");
    WriteWholeFile(scratch / "Setup/setup.ini", "");
    WriteWholeFile(scratch / "Setup/SETUP.INI", "");
    const std::string base = scratch.path().string();
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{"setup", "bin", "install.sh"}, "/Setup/Bin/Install.SH"},
        // The exact spelling wins over another one.
        {{"SETUP", "setup.ini"}, "/Setup/setup.ini"},
        {{"setup", "Setup.Ini"}, "/Setup/SETUP.INI"},
        // What does not exist keeps the given spelling, from the first missing part on.
        {{"setup", "missing", "Install.sh"}, "/Setup/missing/Install.sh"},
        {{"setup", "..", "setup"}, "/Setup/../Setup"},
        {{}, "/"},
    };
    for (const auto& [components, expected] : cases) {
        SCOPED_TRACE(expected);
        EXPECT_EQ(ResolvePathIgnoringCase(base, components), base + expected);
    }
    EXPECT_EQ(ResolvePathIgnoringCase(base + "/absent", {"a", "b"}), base + "/absent/a/b");
}

TEST(NameCase, PackageNamesBecomePathsOfThisSystem) {
    EXPECT_EQ(PackageNameToPath("\\setup\\Caf\xE9.txt"), "/setup/Caf\u00e9.txt");
    EXPECT_EQ(PackageNameToPath("header.bmp"), "header.bmp");
    EXPECT_EQ(PackageNameToPath(""), "");
}

} // namespace
} // namespace setup::test
