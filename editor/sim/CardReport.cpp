#include "editor/sim/CardReport.h"

#include "base/Hex.h"
#include "editor/sim/SimAccess.h"

#include <cstdio>

namespace tarvik {

namespace {

std::string FileId(std::uint16_t id) {
    char text[8];
    std::snprintf(text, sizeof text, "%04X", id);
    return text;
}

std::string YesNo(bool present) {
    return present ? "present" : "absent";
}

} // namespace

CardReport ReadCardReport() {
    CardReport report;
    report.pin = SimPinFacts();
    report.iccid = SimReadIccid();
    report.phonebook = SimSelectPhonebook();
    report.shortMessages = SimHasShortMessages();
    report.ownNumbers = SimHasOwnNumbers();
    // Last: the phonebook's place is known once it was selected.
    if (auto facts = SimCardFacts()) {
        report.card = std::move(*facts);
    }
    return report;
}

std::string KindText(CardKind kind) {
    switch (kind) {
    case CardKind::GsmSim:
        return "GSM SIM";
    case CardKind::UiccWithGsm:
        return "UICC answering class A0";
    case CardKind::UiccOnly:
        return "UICC only";
    case CardKind::Unknown:
        break;
    }
    return "unknown";
}

std::string PlaceText(const CardFacts& card) {
    const std::string adn = FileId(card.adnFile);
    switch (card.place) {
    case PhonebookPlace::Telecom:
        return "DF Telecom 7F10/" + adn;
    case PhonebookPlace::Global:
        return "global phonebook 7F10/5F3A/" + adn;
    case PhonebookPlace::Local:
        return "USIM local phonebook ADF.USIM/5F3A/" + adn;
    case PhonebookPlace::None:
        break;
    }
    return "not found";
}

std::string AtrText(const std::vector<std::uint8_t>& atr) {
    return ToHex(atr, HexSpacing::Spaced);
}

std::string SecondPhonebookNote(const CardFacts& card) {
    if (!card.localPhonebookToo || card.place == PhonebookPlace::Local) {
        return {};
    }
    return "this card's USIM also holds a local phonebook (ADF.USIM/5F3A) that is not "
           "written; a newer device may read that one";
}

std::vector<ReportLine> CardReportLines(const CardReport& report) {
    std::vector<ReportLine> lines;
    const CardFacts& card = report.card;
    lines.push_back({"Reader", card.reader});
    lines.push_back({"ATR", AtrText(card.atr)});
    lines.push_back({"Card", KindText(card.kind)});
    lines.push_back({"ICCID", report.iccid.value_or("unreadable")});
    lines.push_back({"Phonebook", PlaceText(card)});
    if (report.phonebook) {
        const PhonebookGeometry& g = *report.phonebook;
        std::string geometry = std::to_string(g.adnRecords) + " records x " +
                               std::to_string(g.adnRecordLength) + " bytes";
        geometry += card.ext1File != 0 ? ", EXT1 " + FileId(card.ext1File) + ": " +
                                             std::to_string(g.ext1Records) + " records"
                                       : ", no EXT1";
        lines.push_back({"Geometry", geometry});
    }
    if (report.pin) {
        const PinFacts& pin = *report.pin;
        lines.push_back({"PIN", std::string(pin.enabled ? "enabled" : "disabled") + ", " +
                                    std::to_string(pin.attemptsLeft) + " attempts left, PUK " +
                                    std::to_string(pin.unblockAttemptsLeft)});
    } else {
        lines.push_back({"PIN", "state unreadable"});
    }
    lines.push_back({"SMS (6F3C)", YesNo(report.shortMessages)});
    lines.push_back({"MSISDN (6F40)", YesNo(report.ownNumbers)});
    if (const std::string note = SecondPhonebookNote(card); !note.empty()) {
        lines.push_back({"Note", note});
    }
    return lines;
}

} // namespace tarvik
