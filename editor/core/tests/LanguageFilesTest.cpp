#include "editor/core/LanguageFiles.h"

#include "testing/FileContents.h"
#include "testing/TemporaryFolder.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace tarvik {
namespace {

using Paths = std::vector<std::string>;
using testing::TemporaryFolder;
using testing::WriteAll;

TEST(LanguageFilesTest, ListsIniFilesWhosePathNamesALanguage) {
    TemporaryFolder folder;
    for (const char* name :
         {"LAN_Italiano.ini", "lan_deutsch.ini", "LAN_Deutsch.txt", "settings.ini", "LAN_.ini",
          ".LAN_Hidden.ini", "LAN_Espanol.INI", "LAN_Polski.Ini", "LAN_Svenska.inis"}) {
        WriteAll(folder.file(name), "x=y\n");
    }
    std::filesystem::create_directory(folder.path() / "LAN_Folder.ini");
    const std::string dir = folder.path().string();

    EXPECT_EQ(ListLanguageFiles(dir, "*.ini", false),
              (Paths{dir + "/.LAN_Hidden.ini", dir + "/LAN_.ini", dir + "/LAN_Espanol.INI",
                     dir + "/LAN_Italiano.ini", dir + "/LAN_Polski.Ini", dir + "/lan_deutsch.ini"}))
        << "the pattern matches names whatever the case of their letters";
    EXPECT_EQ(ListLanguageFiles(dir + "/", "*.ini", true), (Paths{dir + "/LAN_Folder.ini"}));
    EXPECT_EQ(ListLanguageFiles("", "*.ini", false), Paths{});
    EXPECT_EQ(ListLanguageFiles(dir + "/missing", "*.ini", false), Paths{});
}

TEST(LanguageFilesTest, FolderNamedLikeALanguageMakesEveryIniFileOne) {
    // The whole path is searched for "LAN_", the folder included.
    TemporaryFolder folder;
    const auto languages = folder.path() / "lan_files";
    std::filesystem::create_directory(languages);
    WriteAll((languages / "Italiano.ini").string(), "");
    EXPECT_EQ(ListLanguageFiles(languages.string(), "*.ini", false),
              (Paths{languages.string() + "/Italiano.ini"}));
}

TEST(LanguageFilesTest, LanguageNameDropsFourCharactersEachSide) {
    EXPECT_EQ(LanguageName("/opt/x/LAN_Italiano.ini"), "Italiano");
    EXPECT_EQ(LanguageName("LAN_Deutsch.ini"), "Deutsch");
    EXPECT_EQ(LanguageName("/a/lan_x.ini"), "x");
    EXPECT_EQ(LanguageName("/a/LAN_.ini"), "");
    EXPECT_EQ(LanguageName("/LAN_"), "");
    EXPECT_EQ(ManualName("Italiano"), "Man_Italiano.pdf");
    EXPECT_TRUE(SameLanguage("deutsch", "DEUTSCH"));
    EXPECT_FALSE(SameLanguage("\xE9", "\xC9"));
}

TEST(LanguageFilesTest, ManualsAreSoughtInTheLanguageThenInEnglish) {
    EXPECT_EQ(ManualCandidates("BARRIER_", "Man_Italiano.pdf"),
              (Paths{"BARRIER_Man_Italiano.pdf", "BARRIER_Man_English.pdf"}));
    EXPECT_EQ(ManualCandidates("LX5_", kEnglishManual), (Paths{"LX5_Man_English.pdf"}));
    EXPECT_EQ(ManualCandidates("", kEnglishManual), (Paths{"Man_English.pdf"}));
}

} // namespace
} // namespace tarvik
