#include "editor/form/tests/FormFixture.h"

namespace tarvik::test {
namespace {

using Lines = std::vector<std::string>;
using BarrierGridsTest = FormFixture;

void TypeRow(FormModel& form, int row, std::string_view number, std::string_view flags) {
    ASSERT_TRUE(form.userEditRampCell(row, 0, number));
    for (int col = 1; col <= 4; ++col) {
        ASSERT_TRUE(form.userEditRampCell(row, col, flags.substr(col - 1, 1)));
    }
}

TEST_F(BarrierGridsTest, RowWritesLastEightDigitsAndFlagValue) {
    TypeRow(form, 1, "+39123456789", "1011");
    EXPECT_EQ(lines(), Lines{"RR23456789:13=0039123456789"});
}

TEST_F(BarrierGridsTest, ShortNumbersWriteNothingAndZeroFlagsWriteZero) {
    TypeRow(form, 1, "12", "1111");
    EXPECT_EQ(lines(), Lines{});
    TypeRow(form, 2, "555", "0000");
    EXPECT_EQ(lines(), Lines{"RR555:0=555"});
}

TEST_F(BarrierGridsTest, NameTakesLastEightOfNumberAsTypedThenNormalises) {
    TypeRow(form, 1, "12345+678", "0100");
    TypeRow(form, 2, " 12", "0000"); // not trimmed: three characters
    EXPECT_EQ(lines(), (Lines{"RR234500678:2=1234500678", "RR 12:0= 12"}));
}

TEST_F(BarrierGridsTest, FlagKeysToggleOrSetDigit) {
    ASSERT_TRUE(form.userEditRampCell(1, 2, "1"));
    EXPECT_EQ(form.rampGrid().cell(2, 1), "1");
    ASSERT_TRUE(form.userEditRampCell(1, 2, " "));
    EXPECT_EQ(form.rampGrid().cell(2, 1), "0");
    ASSERT_TRUE(form.userEditRampCell(1, 2, " "));
    EXPECT_EQ(form.rampGrid().cell(2, 1), "1");
    ASSERT_TRUE(form.userEditRampCell(1, 2, "0"));
    EXPECT_EQ(form.rampGrid().cell(2, 1), "0");
    ASSERT_TRUE(form.userEditRampCell(1, 2, "x"));
    EXPECT_EQ(form.rampGrid().cell(2, 1), "1");
    EXPECT_EQ(form.rampKey(0, 1, 'x'), 'x'); // the number column takes any key
}

TEST_F(BarrierGridsTest, RebuildMovesBlockToEndAndKeepsOtherLines) {
    load({"RR11111111:1=11111111", "TL1=5", "RR22222222:2=22222222", "TR001=7"});
    ASSERT_TRUE(form.userEditRampCell(2, 0, "33333333"));
    EXPECT_EQ(lines(),
              (Lines{"TL1=5", "TR001=7", "RR11111111:1=11111111", "RR33333333:2=33333333"}));
}

TEST_F(BarrierGridsTest, EmptyRowsCloseUpOnNextDecode) {
    TypeRow(form, 5, "4444", "1000");
    form.decodeProgram();
    EXPECT_EQ(form.rampGrid().cell(0, 1), "4444");
    EXPECT_EQ(form.rampGrid().cell(0, 5), "");
}

TEST_F(BarrierGridsTest, TrRowWritesItsLabelAndEmptyingRemoves) {
    ASSERT_TRUE(form.userEditTrCell(43, " 555 "));
    EXPECT_EQ(lines(), Lines{"TR042=555"});
    EXPECT_NE(doc.program.remoteText().find("TR042=555;"), std::string::npos);
    ASSERT_TRUE(form.userEditTrCell(43, ""));
    EXPECT_EQ(lines(), Lines{});
}

TEST_F(BarrierGridsTest, ShortTrIndexIsRewrittenWithThreeDigits) {
    load({"TR5=1"});
    EXPECT_EQ(form.trGrid().cell(1, 6), "1");
    ASSERT_TRUE(form.userEditTrCell(7, "2"));
    EXPECT_EQ(lines(), (Lines{"TR005=1", "TR006=2"}));
}

TEST_F(BarrierGridsTest, EditsOutsideDataCellsAreRefused) {
    EXPECT_FALSE(form.userEditRampCell(0, 0, "header"));
    EXPECT_FALSE(form.userEditRampCell(230, 0, "123"));
    EXPECT_FALSE(form.userEditRampCell(1, 5, "1"));
    EXPECT_FALSE(form.userEditTrCell(0, "1"));
    EXPECT_FALSE(form.userEditTrCell(1001, "1"));
    EXPECT_EQ(form.rampGrid().cell(0, 0), "RR Telephone number");
    EXPECT_EQ(lines(), Lines{});
}

TEST_F(BarrierGridsTest, HeadersFollowLanguageTable) {
    language.load({"Output 2=Uscita 2", "RR Telephone number=Numero RR"});
    form.translateGridHeaders();
    EXPECT_EQ(form.rampGrid().cell(2, 0), "Uscita 2");
    EXPECT_EQ(form.rampGrid().cell(0, 0), "Numero RR");
    EXPECT_EQ(form.trGrid().cell(0, 0), "TR");
    EXPECT_EQ(form.trGrid().cell(0, 1000), "999");
}

TEST_F(BarrierGridsTest, RebuildsDoNothingWhileDecoding) {
    // Cell edits and rebuilds that arrive while the form is being decoded (a widget
    // echoing the cells it is given) must leave the text alone.
    bool echoed = false;
    const Connection echo = form.fields().connectChanged([&](int) {
        if (form.decoding() && !echoed) {
            echoed = true;
            form.setRampCellText(0, 3, "7777777");
            form.setTrCellText(1, 9, "88");
            form.rebuildBarrierEntries();
            form.rebuildTrEntries();
        }
    });
    load({"TL1=5", "TR001=5", "RR123:1=123"});
    ASSERT_TRUE(echoed);
    EXPECT_EQ(lines(), (Lines{"TL1=5", "TR001=5", "RR123:1=123"}));
    EXPECT_FALSE(form.decoding());
}

} // namespace
} // namespace tarvik::test
