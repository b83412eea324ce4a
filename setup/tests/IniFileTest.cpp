#include "setup/IniFile.h"

#include "setup/IniLine.h"
#include "setup/tests/ScratchFolder.h"
#include "setup/tests/TestPackageBuilder.h"

#include <gtest/gtest.h>
#include <string>
#include <sys/stat.h>
#include <utility>
#include <vector>

namespace setup::test {
namespace {

using Kind = IniLine::Kind;

TEST(IniLineClassifier, TellsTheKindsApart) {
    struct Case {
        std::string line;
        Kind kind;
        std::string name;
        std::string value;
    };
    const std::vector<Case> cases = {
        {"Start_Bitmap=temp.bmp", Kind::Key, "Start_Bitmap", "temp.bmp"},
        {"Start_Bitmap = temp.bmp", Kind::Key, "Start_Bitmap", " temp.bmp"},
        {"my key=x", Kind::Key, "my", "x"},
        {"\t  1=setup.exe /s a=b ", Kind::Key, "1", "setup.exe /s a=b "},
        {"=orphan", Kind::Key, "", "orphan"},
        {"key\t=v", Kind::Key, "key", "v"},
        {"  ;x=1", Kind::Comment, "", ""},
        {";[startup]", Kind::Comment, "", ""},
        {"[bitmap] ;note", Kind::Section, "bitmap", ""},
        {"\t[startup]", Kind::Section, "startup", ""},
        {"[ startup ]", Kind::Section, " startup ", ""},
        {"[a]b]c", Kind::Section, "a]b", ""},
        {"[]", Kind::Section, "", ""},
        {"[x=1]", Kind::Section, "x=1", ""},
        {"[startup", Kind::Malformed, "", ""},
        {"]x[", Kind::Ignored, "", ""},
        {"", Kind::Ignored, "", ""},
        {" \t ", Kind::Ignored, "", ""},
        {"just text", Kind::Ignored, "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        const IniLine line = ClassifyIniLine(c.line);
        EXPECT_EQ(line.kind, c.kind);
        EXPECT_EQ(line.name, c.name);
        EXPECT_EQ(line.value, c.value);
    }
}

class IniFileTest : public ::testing::Test {
protected:
    using KeyList = std::vector<std::pair<std::string, std::string>>;

    bool loadText(const std::string& text) {
        WriteWholeFile(path_, text);
        return ini_.load(path_);
    }

    KeyList keys(const std::string& section) const {
        KeyList keys;
        const IniSection* found = ini_.getSection(section);
        if (found != nullptr) {
            for (const auto& [key, value] : *found) {
                keys.emplace_back(key, value);
            }
        }
        return keys;
    }

    ScratchFolder scratch_;
    std::string path_ = scratch_ / "setup.ini";
    IniFile ini_;
};

TEST_F(IniFileTest, KeysAreVisitedInByteOrder) {
    ASSERT_TRUE(loadText("[startup]\n2=c.exe\n10=b.exe\n1=a.exe\n\xE9=e\nZ=z\na=y\n"));
    EXPECT_EQ(keys("startup"), (KeyList{{"1", "a.exe"},
                                        {"10", "b.exe"},
                                        {"2", "c.exe"},
                                        {"Z", "z"},
                                        {"a", "y"},
                                        {"\xE9", "e"}}));
}

TEST_F(IniFileTest, FirstValueOfAKeyWinsAcrossRepeatedSections) {
    ASSERT_TRUE(loadText("[startup]\n1=a.exe\n1=b.exe\n[bitmap]\nStart_Bitmap=x.bmp\n"
                         "[startup]\n1=c.exe\n2=d.exe\n"));
    EXPECT_EQ(keys("startup"), (KeyList{{"1", "a.exe"}, {"2", "d.exe"}}));
    EXPECT_EQ(keys("bitmap"), (KeyList{{"Start_Bitmap", "x.bmp"}}));
}

TEST_F(IniFileTest, SectionNamesAreCaseSensitiveAndUntrimmed) {
    ASSERT_TRUE(loadText("[Startup]\n1=a.exe\n[ bitmap ]\nStart_Bitmap=x.bmp\n"));
    EXPECT_EQ(ini_.getSection("startup"), nullptr);
    EXPECT_NE(ini_.getSection("Startup"), nullptr);
    EXPECT_EQ(ini_.getSection("bitmap"), nullptr);
    EXPECT_NE(ini_.getSection(" bitmap "), nullptr);
}

TEST_F(IniFileTest, LineEndsAreLineFeedsWithOptionalCarriageReturn) {
    ASSERT_TRUE(loadText("[bitmap]\r\nStart_Bitmap=temp.bmp\r\n[startup]\r\n1=a.exe\r\n2=b.exe"));
    const IniSection* bitmap = ini_.getSection("bitmap");
    ASSERT_NE(bitmap, nullptr);
    ASSERT_NE(bitmap->getValue("Start_Bitmap"), nullptr);
    EXPECT_EQ(*bitmap->getValue("Start_Bitmap"), "temp.bmp");
    EXPECT_EQ(bitmap->getValue("start_bitmap"), nullptr);
    EXPECT_EQ(keys("startup"), (KeyList{{"1", "a.exe"}, {"2", "b.exe"}}));
}

TEST_F(IniFileTest, CommentsAndBlankLinesBeforeTheFirstSectionAreAllowed) {
    EXPECT_TRUE(loadText("; made by hand\n\n  ;x=1\njust words\n[startup]\n1=a.exe\n"));
    EXPECT_EQ(keys("startup"), (KeyList{{"1", "a.exe"}}));
}

TEST_F(IniFileTest, KeyBeforeAnySectionFailsAndKeepsNothingAfter) {
    EXPECT_FALSE(loadText("; comment\n1=a.exe\n[startup]\n2=b.exe\n"));
    EXPECT_EQ(ini_.getSection("startup"), nullptr);
}

TEST_F(IniFileTest, UnclosedHeaderStopsTheLoadKeepingEarlierSections) {
    EXPECT_FALSE(loadText("[bitmap]\nStart_Bitmap=x.bmp\n[startup\n1=rm.exe\n[other]\n"));
    EXPECT_EQ(keys("bitmap"), (KeyList{{"Start_Bitmap", "x.bmp"}}));
    EXPECT_EQ(ini_.getSection("startup"), nullptr);
    EXPECT_EQ(ini_.getSection("other"), nullptr);
}

TEST_F(IniFileTest, UnreadableFileLeavesTheReaderAsItWas) {
    ASSERT_TRUE(loadText("[startup]\n1=a.exe\n"));
    EXPECT_FALSE(ini_.load(scratch_ / "absent.ini"));
    EXPECT_FALSE(ini_.load(scratch_.path().string()));
    // A FIFO is no configuration file, and opening it must not wait for a writer.
    const std::string fifo = scratch_ / "fifo.ini";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_FALSE(ini_.load(fifo));
    EXPECT_EQ(keys("startup"), (KeyList{{"1", "a.exe"}}));
}

TEST_F(IniFileTest, ReloadReplacesTheFormerContents) {
    ASSERT_TRUE(loadText("[startup]\n1=a.exe\n"));
    ASSERT_TRUE(loadText("[bitmap]\nStart_Bitmap=b.bmp\n"));
    EXPECT_EQ(ini_.getSection("startup"), nullptr);
    EXPECT_NE(ini_.getSection("bitmap"), nullptr);
}

} // namespace
} // namespace setup::test
