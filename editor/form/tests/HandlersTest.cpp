#include "editor/form/tests/FormFixture.h"

namespace tarvik::test {
namespace {

using Lines = std::vector<std::string>;

class HandlersTest : public FormFixture {};

TEST_F(HandlersTest, OptionCheckBoxOwnsItsEntry) {
    load({"RED=5"});
    click("CBRed", false);
    EXPECT_EQ(lines(), Lines{});
    click("CBRed", true);
    EXPECT_EQ(lines(), Lines{"RED=5"});
}

TEST_F(HandlersTest, OptionValueWritesOnlyWhenFocusedAndChecked) {
    type("EDRed", "7");
    EXPECT_EQ(lines(), Lines{}); // box unchecked: nothing written
    click("CBRed", true);
    EXPECT_EQ(lines(), Lines{"RED=7"});
    type("EDRed", "12");
    EXPECT_EQ(lines(), Lines{"RED=12"});
    // Set by code, not typed: the focus is elsewhere, so nothing is written.
    form.focusField(F("EDNet"));
    form.fields().setValue(F("EDRed"), 40);
    EXPECT_EQ(lines(), Lines{"RED=12"});
}

TEST_F(HandlersTest, OptionValueIsClampedWhenWritten) {
    click("CBRed", true);
    type("EDRed", "500");
    EXPECT_EQ(lines(), Lines{"RED=99"});
    type("EDSph", "0");
    click("CBSph", true);
    EXPECT_EQ(lines(), (Lines{"RED=99", "SPH=0"}));
}

TEST_F(HandlersTest, TextOptionsWriteAsTypedWhileChecked) {
    type("EDNet", "I TIM");
    EXPECT_EQ(lines(), Lines{});
    click("CBNet", true);
    EXPECT_EQ(lines(), Lines{"NET=I TIM"});
    type("EDNet", "VODA");
    EXPECT_EQ(lines(), Lines{"NET=VODA"});
    click("CBNet", false);
    EXPECT_EQ(lines(), Lines{});
    // Only typing in the focused field writes; a value set by code does not.
    click("CBNet", true);
    form.fields().setText(F("EDNet"), "OTHER");
    EXPECT_EQ(lines(), Lines{"NET=VODA"});
}

TEST_F(HandlersTest, SwitchOptionsWriteOneForFirstItem) {
    click("CBClp", true);
    EXPECT_EQ(lines(), Lines{"CLP=1"});
    choose("CBClpV", 1);
    EXPECT_EQ(lines(), Lines{"CLP=0"});
    click("CBClp", false);
    choose("CBClpV", 0);
    EXPECT_EQ(lines(), Lines{});
}

TEST_F(HandlersTest, TelephoneRowWritesVariantOfItsCombo) {
    load({"TL2=555"});
    choose("CBTl2", 1);
    EXPECT_EQ(lines(), Lines{"TL2C=555"});
    type("EDTl2", "+3902123");
    EXPECT_EQ(lines(), Lines{"TL2C=003902123"}); // "+" becomes "00"
    choose("CBTl2", 2);
    EXPECT_EQ(lines(), Lines{"TL2S=003902123"});
}

TEST_F(HandlersTest, TelephoneFieldsRefuseBlanksWithBeep) {
    const int before = beeps;
    type("EDTl3", "+39 02 123");
    EXPECT_EQ(text("EDTl3"), "+3902123");
    EXPECT_EQ(beeps, before + 2);
    EXPECT_EQ(lines(), Lines{"TL3=003902123"});
}

TEST_F(HandlersTest, ChoosingVariantOfEmptyRowRemovesEntry) {
    load({"TL3=5"});
    form.fields().setText(F("EDTl3"), ""); // removes TL3
    EXPECT_EQ(lines(), Lines{});
    load({"TL3S=5"});
    form.fields().setText(F("EDTl3"), "");
    choose("CBTl3", 1);
    EXPECT_EQ(lines(), Lines{});
}

TEST_F(HandlersTest, ClipRowWritesFunctionInName) {
    type("EDTO4", "333");
    EXPECT_EQ(lines(), Lines{"TO4:0=333"});
    choose("CBTO4", 5);
    EXPECT_EQ(lines(), Lines{"TO4:5=333"});
    type("EDTk9", "112");
    EXPECT_EQ(lines(), (Lines{"TK9=112", "TO4:5=333"}));
}

TEST_F(HandlersTest, SmsTextTravelsInNameWithDashes) {
    type("EDSms1", "Door open");
    EXPECT_EQ(lines(), Lines{"#1Door-open=1"});
    type("EDSms1", "");
    EXPECT_EQ(lines(), Lines{});
    type("EDSms_a", " Box  open ");
    EXPECT_EQ(lines(), Lines{"$aBox--open=10"});
    type("EDSms_7", "Mains OK");
    EXPECT_EQ(lines(), (Lines{"$7Mains-OK=7", "$aBox--open=10"}));
}

TEST_F(HandlersTest, SmsFieldsTakeAtMost14Characters) {
    type("EDSms2", "abcdefghijklmnopq");
    EXPECT_EQ(text("EDSms2"), "abcdefghijklmn");
}

TEST_F(HandlersTest, SmsTextRefusesEqualsSignThatWouldSplitTheEntry) {
    const int before = beeps;
    type("EDSms3", "a=b");
    EXPECT_EQ(beeps, before + 1);
    EXPECT_EQ(lines(), Lines{"#3ab=3"});
    form.decodeProgram();
    EXPECT_EQ(text("EDSms3"), "ab");
}

TEST_F(HandlersTest, SpinStepsClampAndWriteWhileChecked) {
    click("CBPtm", true);
    ASSERT_TRUE(form.userStepValue(F("EDPtm"), 1));
    EXPECT_EQ(lines(), Lines{"PTM=25"});
    ASSERT_TRUE(form.userStepValue(F("EDPtm"), 1000));
    EXPECT_EQ(lines(), Lines{"PTM=240"});
    EXPECT_FALSE(form.userStepValue(F("CBPtm"), 1));
    EXPECT_FALSE(form.userStepValue(F("EDGsmpr"), 1)); // not allowed on this model
}

TEST_F(HandlersTest, InputModeWritesItemMinusOne) {
    choose("CBIp3", 2);
    EXPECT_EQ(lines(), Lines{"IP3=1"});
    choose("CBIp3", 0);
    EXPECT_EQ(lines(), Lines{});
}

TEST_F(HandlersTest, InputNumbersWriteTheirKeywordAndZeroRemoves) {
    type("EDDl2", "5");
    type("EDF0", "7");
    type("EDFA4", "8");
    type("EDIc1", "9");
    type("EDIr2", "250");
    type("EDIa3", "251");
    EXPECT_EQ(lines(), (Lines{"DL3=5", "IA3=250", "IC1=9", "IF0=7", "IFA4=8", "IR2=250"}));
    type("EDDl2", "0");
    type("EDFA4", "");
    EXPECT_EQ(lines(), (Lines{"IA3=250", "IC1=9", "IF0=7", "IR2=250"}));
}

TEST_F(HandlersTest, DirectAlarmItemsWriteOutputAndFlag) {
    choose("CBOa2", 7); // "3   (0-1)"
    EXPECT_EQ(lines(), Lines{"OA20=31"});
    choose("CBOa2", 10); // "2   (1-0)"
    EXPECT_EQ(lines(), Lines{"OA21=20"});
    choose("CBOa2", 4); // "4   (1-1)"
    EXPECT_EQ(lines(), Lines{"OA2=41"});
    choose("CBOa2", 0);
    EXPECT_EQ(lines(), Lines{});
}

TEST_F(HandlersTest, DirectAlarmEncodingDecodesBackToSameItem) {
    for (int item = 0; item <= 12; ++item) {
        choose("CBOa3", item);
        form.decodeProgram();
        EXPECT_EQ(FormFixture::item("CBOa3"), item);
    }
}

TEST_F(HandlersTest, LinkWithDashTravelsInName) {
    type("EDLk4", "1-2");
    EXPECT_EQ(lines(), Lines{"LK4.1-2=0"});
    type("EDLk4", "12");
    EXPECT_EQ(lines(), Lines{"LK4=12"});
    type("EDLkb", "3");
    EXPECT_EQ(lines(), (Lines{"LK4=12", "LKb=3"}));
}

TEST_F(HandlersTest, LinkKeyFilterRefusesLettersAndDashOnFirstModel) {
    const int before = beeps;
    EXPECT_EQ(form.linkKey('x'), '\0');
    EXPECT_EQ(beeps, before + 1);
    EXPECT_EQ(form.linkKey('\b'), '\b');
    EXPECT_EQ(form.linkKey('-'), '-');
    form.chooseDeviceMenuItem(0);
    EXPECT_EQ(form.linkKey('-'), '\0');
    EXPECT_EQ(beeps, before + 1); // refused silently
    type("EDLk1", "1-2");
    EXPECT_EQ(text("EDLk1"), "12");
}

TEST_F(HandlersTest, OutputNumberMovesCombo) {
    type("EDOp0", "100");
    EXPECT_EQ(item("CBOp0"), 2);
    EXPECT_EQ(lines(), Lines{"OP1=100"});
    type("EDOp0", "238");
    EXPECT_EQ(item("CBOp0"), 4);
    type("EDOp0", "1");
    EXPECT_EQ(item("CBOp0"), 1);
    type("EDOp0", "0");
    EXPECT_EQ(item("CBOp0"), 0);
    EXPECT_EQ(lines(), Lines{});
}

TEST_F(HandlersTest, OutputComboSetsNumberWhichWritesEntry) {
    choose("CBOp0", 7); // "241 - GSM network failure (H/L)"
    EXPECT_EQ(text("EDOp0"), "241");
    EXPECT_EQ(lines(), Lines{"OP1=241"});
    choose("CBOp0", 2);
    EXPECT_EQ(text("EDOp0"), "30");
    EXPECT_EQ(lines(), Lines{"OP1=30"});
    choose("CBOp3", 14);
    EXPECT_EQ(lines(), (Lines{"OP1=30", "OP4=248"}));
}

TEST_F(HandlersTest, OutputComboIsQuietWhileNumberHasFocus) {
    form.focusField(F("EDOp1"));
    form.fields().setItemIndex(F("CBOp1"), 3);
    form.outputItemChosen(F("CBOp1"));
    EXPECT_EQ(text("EDOp1"), "0");
    EXPECT_EQ(lines(), Lines{});
}

TEST_F(HandlersTest, PrepayFieldsWriteTheirNames) {
    type("EDV2", "*123#");
    type("EDV1", "A");
    EXPECT_EQ(lines(), (Lines{"V1=A", "V2PRE CRE SIN=*123#"}));
    type("EDV2", "");
    EXPECT_EQ(lines(), Lines{"V1=A"});
}

TEST_F(HandlersTest, HandlersIgnoreSendersOutsideTheirTags) {
    load({"TL1=5"});
    form.telephoneNumberChanged(F("EDRed")); // Tag 10 is no telephone row
    form.outputNumberChanged(F("EDTk9"));
    form.directAlarmChanged(F("CBIp0"));
    form.prepayChanged(F("EDTl9"));
    EXPECT_EQ(lines(), Lines{"TL1=5"});
}

TEST_F(HandlersTest, NumericTypingKeepsDigitsAndMinusOnly) {
    click("CBMic", true);
    type("EDMic", "1x5\r");
    EXPECT_EQ(text("EDMic"), "15");
    EXPECT_EQ(lines(), Lines{"MIC=15"});
}

TEST_F(HandlersTest, HandlerReadingUnreadableNumberBeepsAndUsesErrValue) {
    load({"DL2=5", "MIC=7"});
    form.fields().setText(F("EDDl1"), "-"); // inputDelayChanged reads it: ErrValue 0 removes DL2
    EXPECT_EQ(beeps, 1);
    EXPECT_EQ(lines(), Lines{"MIC=7"});
    form.fields().setText(F("EDDl1"), ""); // empty text reads quietly
    EXPECT_EQ(beeps, 1);

    form.focusField(F("EDMic"));
    form.fields().setText(F("EDMic"), "x"); // CBMicClick reads its value: ErrValue 12
    EXPECT_EQ(beeps, 2);
    EXPECT_EQ(lines(), Lines{"MIC=12"});
    // Reading the value outside a handler is quiet.
    EXPECT_EQ(value("EDMic"), 12);
    EXPECT_EQ(beeps, 2);
}

TEST_F(HandlersTest, NewEntriesGoBeforeTheBarrierBlock) {
    load({"MIC=5", "RR12345678:3=12345678", "TR000=5"});
    click("CBTpr", true);
    EXPECT_EQ(lines(), (Lines{"MIC=5", "TPR=12", "RR12345678:3=12345678", "TR000=5"}));
}

} // namespace
} // namespace tarvik::test
