// What the card's refusals mean to the editor, and the card report's lines.
#include "editor/sim/CardReport.h"

#include <gtest/gtest.h>

namespace tarvik {
namespace {

TEST(CardReport, RefusalsAreToldApartByTheirStatusWords) {
    const struct {
        std::uint16_t statusWord;
        CardRefusal meaning;
    } cases[] = {
        {0x0000, CardRefusal::None},
        // ETSI TS 102 221 §10.2.1.5 and GSM 11.11 §9.4.5: a PIN must be presented first.
        {0x6982, CardRefusal::PinNeeded},
        {0x9804, CardRefusal::PinNeeded},
        // The PIN is blocked.
        {0x6983, CardRefusal::PinBlocked},
        {0x9840, CardRefusal::PinBlocked},
        // Anything else: the file is not there, the command unknown, a memory problem.
        {0x6A82, CardRefusal::Other},
        {0x6D00, CardRefusal::Other},
        {0x9240, CardRefusal::Other},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(RefusalOf(c.statusWord), c.meaning) << std::hex << c.statusWord;
    }
}

TEST(CardReport, LinesSayWhereThePhonebookIsAndWarnOfASecondOne) {
    CardReport report;
    report.card = {"Reader 0", {0x3B, 0x02}, CardKind::UiccOnly, PhonebookPlace::Global, 0x4F3A,
                   0x4F4A,     true};
    report.iccid = "8949000000000000017";
    report.phonebook = PhonebookGeometry{250, 28, 10};
    report.pin = PinFacts{true, 2, 10};
    report.ownNumbers = true;
    std::string text;
    for (const ReportLine& line : CardReportLines(report)) {
        text += line.label + ": " + line.value + "\n";
    }
    EXPECT_EQ(text, "Reader: Reader 0\n"
                    "ATR: 3B 02\n"
                    "Card: UICC only\n"
                    "ICCID: 8949000000000000017\n"
                    "Phonebook: global phonebook 7F10/5F3A/4F3A\n"
                    "Geometry: 250 records x 28 bytes, EXT1 4F4A: 10 records\n"
                    "PIN: enabled, 2 attempts left, PUK 10\n"
                    "SMS (6F3C): absent\n"
                    "MSISDN (6F40): present\n"
                    "Note: this card's USIM also holds a local phonebook (ADF.USIM/5F3A) that "
                    "is not written; a newer device may read that one\n");

    // The local phonebook itself in use: nothing else to warn of.
    report.card.place = PhonebookPlace::Local;
    EXPECT_EQ(SecondPhonebookNote(report.card), "");
    EXPECT_EQ(PlaceText(report.card), "USIM local phonebook ADF.USIM/5F3A/4F3A");
}

} // namespace
} // namespace tarvik
