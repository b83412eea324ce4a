#include "editor/form/tests/FormFixture.h"

#include <stdexcept>

namespace tarvik::test {
namespace {

using DecodeProgramTest = FormFixture;

struct DecodeCase {
    const char* line;
    const char* field;
    const char* expected; // FieldModel::valueText of the field after decoding the line
};

TEST_F(DecodeProgramTest, EachLineRuleFillsItsField) {
    const DecodeCase cases[] = {
        {"TL1 = 0039123", "EDTl1", "0039123"},
        {"TL1 = 0039123", "CBTl1", "0"},
        {"TL1C = 5", "EDTl1", ""}, // no digit in the two characters before "="
        {"TL12=5", "EDTl2", "5"},
        {"TL3C=77", "CBTl3", "1"},
        {"TL3S=77", "CBTl3", "2"},
        {"TO3:2=123", "CBTO3", "2"},
        {"TO3:2=123", "EDTO3", "123"},
        {"TO3:7=123", "EDTO3", ""},
        {"TO3=123", "EDTO3", ""},
        {"TO3:25=123", "EDTO3", ""}, // the name must have exactly 5 characters
        {"#1Door-open=1", "EDSms1", "Door-open"},
        {"#5abcdefghijklmnopq=5", "EDSms5", "abcdefghijklmn"},
        {"$aTamper=10", "EDSms_a", "Tamper"},
        {"$AOpen=10", "EDSms_a", "Open"},
        {"$7Mains ok=7", "EDSms_7", "Mains ok"},
        {"IP2=3", "CBIp2", "4"},
        {"IP2=x", "CBIp2", "0"},
        {"IP2=7", "CBIp2", "0"},
        {"IP0=-1", "CBIp0", "0"},
        {"DL4=200", "EDDl3", "200"},
        {"DL4=999", "EDDl3", "240"},
        {"OP1=238", "EDOp0", "238"},
        {"OP1=238", "CBOp0", "4"},
        {"OP2=100", "CBOp1", "2"},
        {"LK3.1-2-3=0", "EDLk3", "1-2-3"},
        {"LK3=123", "EDLk3", "123"},
        {"LK12.5=7", "EDLk1", "7"}, // "." not 4th: the value is shown
        {"LKa=55", "EDLka", "55"},
        {"LKB=56", "EDLkb", "56"},
        {"RED=5", "CBRed", "1"},
        {"RED=5", "EDRed", "5"},
        {"RED=abc", "EDRed", "1"},
        {"MIC=abc", "EDMic", "0"},
        {"MIC=abc", "CBMic", "1"},
        {"SPH=4000", "EDSph", "4000"},
        {"TLCHK=20", "EDTlchk", "20"},
        {"TLCHK=20", "EDTl0", ""},
        {"CLP=0", "CBClpV", "1"},
        {"CLP=7", "CBClpV", "0"},
        {"CLP=0", "CBClp", "1"},
        {"IDCON=0", "CBIdconV", "1"},
        {"NET=I TIM", "EDNet", "I TIM"},
        {"NET=I TIM", "CBNet", "1"},
        {"LANET=02", "EDLanet", "02"},
        {"V2PRE CRE SIN=*123#", "EDV2", "*123#"},
        {"V3=x", "EDV3", "x"},
        {"IF2=30", "EDF2", "30"},
        {"IFA2=31", "EDFA2", "31"},
        {"IFA=31", "EDF4", "0"}, // no index: nothing, not filter 4
        {"IC1=12", "EDIc1", "12"},
        {"IR4=250", "EDIr4", "250"},
        {"IA2=9", "EDIa2", "9"},
        {"OA1=21", "CBOa1", "2"},
        {"OA10=21", "CBOa1", "6"},
        {"OA11=20", "CBOa1", "10"},
        {"OA11=21", "CBOa1", "2"},
        {"OA1=131", "CBOa1", "0"},
        {"OA1=99", "CBOa1", "9"},
        {"OA5=11", "CBOa4", "0"},
        {"TK7=112", "EDTk7", "112"},
        {"tl4 = 12 ", "EDTl4", "12"},
    };
    for (const DecodeCase& c : cases) {
        load({c.line});
        EXPECT_EQ(form.fields().valueText(F(c.field)), c.expected)
            << "line " << c.line << ", field " << c.field;
    }
}

TEST_F(DecodeProgramTest, ValueIsCutTo64CharactersAfterEquals) {
    const std::string number(70, '5');
    load({"TK1=" + number});
    EXPECT_EQ(text("EDTk1"), std::string(64, '5'));
    // The cut comes before the trimming, so leading blanks use up part of the 64.
    load({"TK1=   " + number});
    EXPECT_EQ(text("EDTk1"), std::string(61, '5'));
}

TEST_F(DecodeProgramTest, LinesWithoutSettingLeaveFormAndTextAlone) {
    load({"=5", "X=5", "OFM=1", "no equals sign", ""});
    EXPECT_EQ(lines(), (std::vector<std::string>{"=5", "X=5", "OFM=1", "no equals sign", ""}));
    for (int f = 0; f < form.fields().size(); ++f) {
        const FieldDef& def = FieldModel::definition(f);
        if (def.kind == FieldKind::Text) {
            EXPECT_EQ(form.fields().text(f), "") << def.name;
        }
    }
}

TEST_F(DecodeProgramTest, ResetPutsEveryFieldBackExceptTheModel) {
    load({"RED=5", "TL1C=123", "CBDevice=1", "OP1=241", "CLP=0"});
    form.chooseDeviceMenuItem(1);
    load({});
    EXPECT_FALSE(checked("CBRed"));
    EXPECT_EQ(value("EDRed"), 3);
    EXPECT_EQ(value("EDSph"), 3544);
    EXPECT_EQ(text("EDTl1"), "");
    EXPECT_EQ(item("CBTl1"), 0);
    EXPECT_EQ(item("CBOp0"), 0);
    EXPECT_EQ(item("CBClpV"), 0);
    EXPECT_EQ(form.deviceIndex(), 1);
}

TEST_F(DecodeProgramTest, BarrierLinesFillRowsInOrderOfAppearance) {
    load({"RR12345678:5=0039333", "TL1=1", "RR99:15=4444"});
    const StringGrid& g = form.rampGrid();
    EXPECT_EQ(g.cell(0, 1), "0039333");
    EXPECT_EQ(g.cell(1, 1), "1");
    EXPECT_EQ(g.cell(2, 1), "0");
    EXPECT_EQ(g.cell(3, 1), "1");
    EXPECT_EQ(g.cell(4, 1), "0");
    EXPECT_EQ(g.cell(0, 2), "4444");
    EXPECT_EQ(g.cell(4, 2), "1");
    EXPECT_EQ(g.cell(0, 3), "");
}

TEST_F(DecodeProgramTest, BarrierLineNeedsColonAndReadsBadFlagsAsZero) {
    load({"RR12345=9", "RR:5=123", "RR1:x=777"});
    EXPECT_EQ(form.rampGrid().cell(0, 1), "123");
    EXPECT_EQ(form.rampGrid().cell(3, 1), "1");
    EXPECT_EQ(form.rampGrid().cell(0, 2), "777");
    EXPECT_EQ(form.rampGrid().cell(1, 2), "0");
    EXPECT_EQ(form.rampGrid().cell(0, 3), "");
}

TEST_F(DecodeProgramTest, TrLinesFillTheRowOfTheirIndex) {
    load({"TR5=1", "TR042=555", "TR1000=9", "TRx=3"});
    EXPECT_EQ(form.trGrid().cell(1, 6), "1");
    EXPECT_EQ(form.trGrid().cell(1, 43), "555");
    EXPECT_EQ(form.trGrid().cell(1, 101), "9"); // characters 3..5 read "100"
    EXPECT_EQ(form.trGrid().cell(0, 43), "042");
}

TEST_F(DecodeProgramTest, SecondDecodeEmptiesGridsBeforeRefilling) {
    load({"RR11111111:1=11111111", "RR22222222:2=22222222", "TR007=7"});
    load({"RR33333333:3=33333333"});
    EXPECT_EQ(form.rampGrid().cell(0, 1), "33333333");
    EXPECT_EQ(form.rampGrid().cell(0, 2), "");
    EXPECT_EQ(form.rampGrid().cell(2, 2), "");
    EXPECT_EQ(form.trGrid().cell(1, 8), "");
}

TEST_F(DecodeProgramTest, DecodeTwiceLeavesEveryFieldUnchanged) {
    load({"RED=5", "TL1S=1", "TO2:3=4", "OP3=240", "LK2.1-3=0", "#2Fire=2", "IP1=5", "OA30=41",
          "NET=X", "CLP=0", "RR12:3=123", "TR002=5"});
    std::vector<std::string> first;
    for (int f = 0; f < form.fields().size(); ++f) {
        first.push_back(form.fields().valueText(f));
    }
    form.decodeProgram();
    for (int f = 0; f < form.fields().size(); ++f) {
        EXPECT_EQ(form.fields().valueText(f), first[f]) << FieldModel::definition(f).name;
    }
}

TEST_F(DecodeProgramTest, DecodingWritesNothingAndRebuildsRemoteText) {
    const std::vector<std::string> program = {"RED=5", "TL1=123", "OP1=241", "DL1=3"};
    doc.program.text().assign(program);
    doc.modified = false;
    form.decodeProgram();
    EXPECT_EQ(lines(), program);
    EXPECT_FALSE(doc.modified);
    EXPECT_FALSE(form.decoding());
    EXPECT_EQ(doc.program.remoteText(), ";RED=5;TL1=123;OP1=241;DL1=3;");
}

TEST_F(DecodeProgramTest, FailureInsideDecodeLeavesTheHandlersWorking) {
    // An observer that fails while the form is rebuilt must not leave the handlers silenced.
    bool fail = false;
    const Connection failing = form.fields().connectChanged([&](int) {
        if (form.decoding() && fail) {
            fail = false;
            throw std::runtime_error("observer failed");
        }
    });
    doc.program.text().assign({"TL2=7"});
    fail = true;
    EXPECT_THROW(form.decodeProgram(), std::runtime_error);
    EXPECT_FALSE(form.decoding());
    type("EDTl3", "9");
    EXPECT_EQ(lines(), (std::vector<std::string>{"TL2=7", "TL3=9"}));
}

TEST_F(DecodeProgramTest, OnlyFirst229BarrierLinesAreShown) {
    std::vector<std::string> program;
    for (int n = 0; n < 231; ++n) {
        program.push_back("RR" + std::to_string(10000000 + n) +
                          ":1=" + std::to_string(10000000 + n));
    }
    load(program);
    EXPECT_EQ(form.rampGrid().cell(0, 229), "10000228");
    form.rebuildBarrierEntries();
    EXPECT_EQ(lines().size(), 229U);
}

} // namespace
} // namespace tarvik::test
