#include "program/LanguageTable.h"

#include "program/TextKeyHash.h"
#include "testing/FileContents.h"
#include "testing/TemporaryFolder.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace tarvik {
namespace {

using Lines = std::vector<std::string>;

TEST(TextKeyHashTest, WeighsEachByteByItsPosition) {
    EXPECT_EQ(TextKeyHash(""), 7u);
    EXPECT_EQ(TextKeyHash("abc"), 27081u);
    // Bytes above 127 count as 0..255, not as negative values.
    EXPECT_EQ(TextKeyHash("\xFF"), 7u + 255u * 79u);
    // 2,000 such bytes sum to 7 + 255 * (79 * 2000 + 13 * 1999000) = 6666975007, which
    // wraps to 6666975007 - 2^32.
    EXPECT_EQ(TextKeyHash(std::string(2000, '\xFF')), 2372007711u);
}

TEST(TranslateTextTest, LooksUpTextsInTheTable) {
    struct Case {
        const char* what;
        Lines table;
        std::string text;
        std::string translated;
    };
    const std::vector<Case> cases = {
        {"empty table", {}, "Confirm", "Confirm"},
        {"plain match", {"Confirm=Conferma"}, "Confirm", "Conferma"},
        {"last match wins",
         {"Confirm=Conferma", "Confirm=Best\xE4tigen"},
         "Confirm",
         "Best\xE4tigen"},
        {"longer key with same prefix does not match", {"Confirmed=yes"}, "Confirm", "Confirm"},
        {"a key containing = never translates", {"a=b=c"}, "a=b", "a=b"},
        {"header lines never match", {"[Deutsch]", ";comment"}, "[Deutsch]", "[Deutsch]"},
        {"empty text never translated", {"=empty"}, "", ""},
        {"case counts", {"confirm=x"}, "Confirm", "Confirm"},
        {"empty translation", {"Confirm="}, "Confirm", ""},
        {"one-line table still used", {"Read SIM=SIM lesen"}, "Read SIM", "SIM lesen"},
        {"line break marker", {"Two^plines=Zwei^pZeilen"}, "Two\r\nlines", "Zwei\r\nZeilen"},
        {"translation keeps later =", {"A=b=c"}, "A", "b=c"},
        // A NUL adds nothing to the key hash, so this key hashes as "Confirm"; the NUL after
        // the text is skipped unchecked like the usual "=".
        {"character after the text is not checked",
         {std::string("Confirm\0=x", 10)},
         "Confirm",
         "=x"},
    };
    for (const auto& c : cases) {
        LanguageTable table;
        table.load(c.table);
        EXPECT_EQ(TranslateText(table, c.text), c.translated) << c.what;
    }
}

TEST(TranslateTextTest, CutsTranslationTo100Characters) {
    LanguageTable table;
    table.load({"Confirm=" + std::string(150, 'x')});
    EXPECT_EQ(TranslateText(table, "Confirm"), std::string(100, 'x'));
    table.load({"Confirm=" + std::string(100, 'y')});
    EXPECT_EQ(TranslateText(table, "Confirm"), std::string(100, 'y'));
}

TEST(LanguageTableTest, LoadReplacesContentAndHashesKeys) {
    LanguageTable table;
    table.load({"Old=Alt"});
    table.load({"Read SIM=SIM lesen", "no key", "a^pb=c"});
    ASSERT_EQ(table.size(), 3u);
    EXPECT_EQ(table.lines()[0].keyHash, TextKeyHash("Read SIM"));
    EXPECT_EQ(table.lines()[1].keyHash, TextKeyHash(""));
    EXPECT_EQ(table.lines()[2].text, "a\r\nb=c");
    EXPECT_EQ(table.lines()[2].keyHash, TextKeyHash("a\r\nb"));
    EXPECT_EQ(TranslateText(table, "Old"), "Old");
}

TEST(LanguageTableTest, LoadsFileBytesAtAnyLineBreak) {
    LanguageTable table;
    table.loadBytes(";header\r\nRead SIM=SIM lesen\nConfirm=Ok\rNew=Neu\r\n");
    EXPECT_EQ(table.size(), 4u);
    EXPECT_EQ(TranslateText(table, "Read SIM"), "SIM lesen");
    EXPECT_EQ(TranslateText(table, "Confirm"), "Ok");
    EXPECT_EQ(TranslateText(table, "New"), "Neu");
}

TEST(LanguageTableTest, MissingFileLeavesTableAsItWas) {
    testing::TemporaryFolder folder;
    LanguageTable table;
    table.load({"Confirm=Conferma"});
    EXPECT_FALSE(table.loadFile(folder.file("LAN_None.ini")));
    EXPECT_EQ(TranslateText(table, "Confirm"), "Conferma");

    const std::string path = folder.file("LAN_Deutsch.ini");
    testing::WriteAll(path, ";header\r\nConfirm=Best\xE4tigen\r\n");
    EXPECT_TRUE(table.loadFile(path));
    EXPECT_EQ(table.size(), 2u);
    EXPECT_EQ(TranslateText(table, "Confirm"), "Best\xE4tigen");
}

TEST(LanguageTableTest, FilesThatAreNoLanguageFileLeaveTableAsItWas) {
    testing::TemporaryFolder folder;
    std::string huge = "Confirm=huge\n";
    huge.resize(LanguageTable::largestFile + 1, 'x');
    testing::WriteAll(folder.file("LAN_Huge.ini"), huge);
    testing::WriteAll(folder.file("LAN_Largest.ini"), huge.substr(0, LanguageTable::largestFile));
    struct Case {
        const char* what;
        std::string path;
        bool loads;
        const char* confirm;
    };
    const Case cases[] = {
        {"missing", folder.file("LAN_None.ini"), false, "Conferma"},
        {"a folder", folder.path().string(), false, "Conferma"},
        {"one byte too large", folder.file("LAN_Huge.ini"), false, "Conferma"},
        {"exactly the largest size", folder.file("LAN_Largest.ini"), true, "huge"},
    };
    for (const Case& c : cases) {
        LanguageTable table;
        table.load({"Confirm=Conferma"});
        EXPECT_EQ(table.loadFile(c.path), c.loads) << c.what;
        EXPECT_EQ(TranslateText(table, "Confirm"), c.confirm) << c.what;
    }
}

} // namespace
} // namespace tarvik
