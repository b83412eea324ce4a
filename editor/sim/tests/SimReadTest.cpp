// Reading the program from a virtual card through the real PC/SC stack. The card's records
// are planted as bytes laid out as GSM 11.11 10.5.1 and Annex B describe them.
#include "editor/sim/QuenlibCardPort.h"
#include "editor/sim/SimAccess.h"
#include "editor/sim/SimMessages.h"
#include "editor/sim/SimTransfer.h"
#include "editor/sim/tests/SimCardFixture.h"
#include "program/ProgramDocument.h"
#include "program/tests/ThirdModel.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace tarvik::testing {
namespace {

using namespace std::chrono_literals;

class SimReadTest : public SimCardTest {
protected:
    void SetUp() override {
        doc.program.text().assign({"TL1=0123", "RED=1"});
        doc.modified = false;
    }

    bool Read() {
        window = RecordingWindow();
        result = SimReadAll(port, window, doc.program.text());
        return result.ok;
    }

    // The read failed and left everything as it was.
    void ExpectProgramUntouched() {
        EXPECT_EQ(doc.program.text().lines(), (std::vector<std::string>{"TL1=0123", "RED=1"}));
        EXPECT_FALSE(doc.modified);
        EXPECT_NE(std::find(window.captions.begin(), window.captions.end(), kReadError),
                  window.captions.end());
        EXPECT_EQ(window.captions.back(), "Tarvik3 - alarm.sim");
        EXPECT_EQ(window.beeps, 1);
        EXPECT_EQ(window.pauses, std::vector<std::chrono::milliseconds>{2000ms});
    }

    ProgramDocument doc{tarvik::testing::kThirdModel};
    RecordingWindow window;
    QuenlibCardPort port;
    ReadResult result;
};

TEST_F(SimReadTest, EachRecordBecomesOneLineAsItStands) {
    StartCard();
    Plant({
        {0, AdnRecord("544C31", "03811032")},       // TL1, 0123
        {2, AdnRecord("4E6F6D65")},                 // a name alone
        {3, AdnRecord("", "038155F5")},             // a number alone: 555
        {4, AdnRecord("495031", "04919333F3")},     // international: +39333
        {5, AdnRecord("206120", "0281F1")},         // " a ", neither trimmed nor upper-cased
        {6, AdnRecord("8000C9007400E9", "0281F7")}, // UCS2 form: Été
        {7, AdnRecord("8020AC", "0281F2")},         // UCS2 form: the euro sign
        {8, AdnRecord("FF4142", "0281F3")},         // a first byte FF: no name
        {249, AdnRecord("5A", "0281F9")},           // the last record
    });
    Connect();

    EXPECT_TRUE(Read());

    EXPECT_EQ(doc.program.text().lines(),
              (std::vector<std::string>{"TL1=0123", "Nome=", "=555", "IP1=+39333", " a =1",
                                        "\xC9t\xE9=7", "\x80=2", "=3", "Z=9"}));
    EXPECT_TRUE(doc.modified);
    EXPECT_EQ(window.captions.front(), "SIM 1 / 250");
    EXPECT_EQ(window.captions[249], "SIM 250 / 250");
    EXPECT_EQ(window.captions.back(), "Tarvik3 - alarm.sim");
    EXPECT_EQ(window.eventsAtCaption.size(), 32u); // records 1, 9, ..., 249
    EXPECT_EQ(window.eventsAtCaption.back(), "SIM 249 / 250");
    EXPECT_EQ(window.beeps, 0);
}

TEST_F(SimReadTest, EmptyCardGivesAnEmptyProgram) {
    StartCard(PinOff(8));
    Connect();
    EXPECT_TRUE(Read());
    EXPECT_TRUE(doc.program.text().empty());
    EXPECT_TRUE(doc.modified);
}

TEST_F(SimReadTest, CardPulledOutDuringReadLeavesTheProgramAsItWas) {
    simcard::CardOptions options = PinOff();
    options.dropAfterCommands = 80; // some records into the read
    StartCard(options);
    Connect();

    EXPECT_FALSE(Read());
    ExpectProgramUntouched();
    // The read got under way before the card went.
    EXPECT_GT(window.progressSteps.size(), 10u);

    // Put back, the card is found again by the next command.
    card->insert();
    Connect();
    EXPECT_EQ(SimSelectPhonebook()->adnRecords, 250);
}

TEST_F(SimReadTest, CardGoneBeforeTheReadLeavesTheProgramAsItWas) {
    StartCard();
    Connect();
    card->remove();

    EXPECT_FALSE(Read());
    ExpectProgramUntouched();
    EXPECT_TRUE(window.progressSteps.size() == 1); // only the end of the transfer
}

TEST_F(SimReadTest, PhonebookUnder8RecordsIsAReadError) {
    StartCard(PinOff(7));
    Connect();
    EXPECT_FALSE(Read());
    ExpectProgramUntouched();
    const std::vector<std::string> tail(window.captions.end() - 2, window.captions.end());
    EXPECT_EQ(tail, (std::vector<std::string>{"Read Error", "Tarvik3 - alarm.sim"}));
}

TEST_F(SimReadTest, RecordsTheProgramTextCannotHoldAreLeftOutAndCounted) {
    StartCard(PinOff(20));
    Plant({
        {0, AdnRecord("544C31", "0281F1")},           // TL1=1
        {5, AdnRecord("800101", "0281F1")},           // UCS2 form: U+0101
        {6, AdnRecord("80039903C903BD", "03811032")}, // UCS2 form: Greek letters
        {7, AdnRecord("524544", "0281F3")},           // RED=3
    });
    Connect();

    EXPECT_TRUE(Read());
    // Contacts such as a Greek name are no part of a program: left out, the rest read.
    EXPECT_EQ(doc.program.text().lines(), (std::vector<std::string>{"TL1=1", "RED=3"}));
    EXPECT_EQ(result.recordsLeftOut, 2);
    EXPECT_EQ(window.beeps, 0);
}

} // namespace
} // namespace tarvik::testing
