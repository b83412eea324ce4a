#include "editor/cli/CardJson.h"

#include "editor/cli/JsonOutput.h"

#include <cstdio>
#include <ostream>
#include <string>

namespace tarvik::cli {
namespace {

std::string HexId(std::uint16_t id) {
    char text[8];
    std::snprintf(text, sizeof text, "%04X", id);
    return text;
}

} // namespace

void WriteCardJson(const CardReport& report, std::ostream& out) {
    const CardFacts& card = report.card;
    const PhonebookGeometry geometry = report.phonebook.value_or(PhonebookGeometry{});
    Json phonebook = Json::object();
    phonebook["place"] = JsonText(PlaceText(card));
    phonebook["adn"] = card.adnFile != 0 ? HexId(card.adnFile) : "";
    phonebook["ext1"] = card.ext1File != 0 ? HexId(card.ext1File) : "";
    phonebook["records"] = geometry.adnRecords;
    phonebook["recordLength"] = geometry.adnRecordLength;
    phonebook["ext1Records"] = geometry.ext1Records;
    Json pin = "unreadable";
    if (report.pin) {
        pin = Json::object();
        pin["enabled"] = report.pin->enabled;
        pin["attemptsLeft"] = report.pin->attemptsLeft;
        pin["unblockAttemptsLeft"] = report.pin->unblockAttemptsLeft;
    }
    Json json = Json::object();
    json["reader"] = JsonText(card.reader);
    json["atr"] = JsonText(AtrText(card.atr));
    json["kind"] = JsonText(KindText(card.kind));
    json["iccid"] = JsonText(report.iccid.value_or(""));
    json["phonebook"] = std::move(phonebook);
    json["pin"] = std::move(pin);
    json["sms"] = report.shortMessages;
    json["msisdn"] = report.ownNumbers;
    json["localPhonebookToo"] = card.localPhonebookToo && card.place != PhonebookPlace::Local;
    WriteJson(json, out);
    // The report ends with an empty line, as it always has.
    out << '\n';
}

} // namespace tarvik::cli
