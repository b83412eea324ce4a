#include "editor/cli/CliCommand.h"
#include "editor/cli/CliSupport.h"
#include "editor/cli/JsonWriter.h"
#include "editor/cli/SimCliSupport.h"
#include "editor/core/FormatCount.h"
#include "editor/sim/CardReport.h"
#include "editor/sim/SimAccess.h"
#include "editor/sim/SimMessages.h"

#include <array>
#include <cstdio>
#include <cstdlib>
#include <ostream>

namespace tarvik::cli {
namespace {

constexpr CliOption kJsonOption{"--json", CliValue::None, "", "print the report as JSON"};

constexpr std::array kOptions{
    CliOption{"--pin", CliValue::Text, "PIN", "present the card's PIN first (it stays enabled)"},
    kReaderOption,
    kJsonOption,
};

std::string HexId(std::uint16_t id) {
    char text[8];
    std::snprintf(text, sizeof text, "%04X", id);
    return text;
}

void WriteJson(const CardReport& report, std::ostream& out) {
    JsonWriter json(out);
    const CardFacts& card = report.card;
    json.beginObject();
    json.key("reader");
    json.string(card.reader);
    json.key("atr");
    json.string(AtrText(card.atr));
    json.key("kind");
    json.string(KindText(card.kind));
    json.key("iccid");
    json.string(report.iccid.value_or(""));
    json.key("phonebook");
    json.beginObject();
    json.key("place");
    json.string(PlaceText(card));
    json.key("adn");
    json.string(card.adnFile != 0 ? HexId(card.adnFile) : "");
    json.key("ext1");
    json.string(card.ext1File != 0 ? HexId(card.ext1File) : "");
    const PhonebookGeometry geometry = report.phonebook.value_or(PhonebookGeometry{});
    json.key("records");
    json.number(geometry.adnRecords);
    json.key("recordLength");
    json.number(geometry.adnRecordLength);
    json.key("ext1Records");
    json.number(geometry.ext1Records);
    json.endObject();
    json.key("pin");
    if (report.pin) {
        json.beginObject();
        json.key("enabled");
        json.boolean(report.pin->enabled);
        json.key("attemptsLeft");
        json.number(report.pin->attemptsLeft);
        json.key("unblockAttemptsLeft");
        json.number(report.pin->unblockAttemptsLeft);
        json.endObject();
    } else {
        json.string("unreadable");
    }
    json.key("sms");
    json.boolean(report.shortMessages);
    json.key("msisdn");
    json.boolean(report.ownNumbers);
    json.key("localPhonebookToo");
    json.boolean(card.localPhonebookToo && card.place != PhonebookPlace::Local);
    json.endObject();
    out << '\n';
}

// Describes the card in the reader: what kind, where its phonebook is, its PIN.
int RunCard(const CliCommand&, const ParsedArgs& args, CliIo& io) {
    const auto parsed = ReadSimArgs(args, io.err);
    if (!parsed) {
        return kExitUsage;
    }
    SimSession session;
    if (parsed->reader) {
        ::setenv("QUENLIB_READER", parsed->reader->c_str(), 1);
    }
    SimConnect();
    const CardAccess access = QueryCardAccess();
    if (access == CardAccess::NotFound) {
        io.err << "tarvik-cli: " << kSimNotFound << ": " << WhyNoCard(parsed->reader) << '\n';
        return kExitSimNotFound;
    }
    if (parsed->pin && access == CardAccess::Blocked) {
        io.err << "tarvik-cli: " << kSimBlocked << '\n';
        return kExitSimBlocked;
    }
    if (parsed->pin && access == CardAccess::NeedsPin && !SimVerifyPin(*parsed->pin)) {
        io.err << "tarvik-cli: " << FormatCount(kWrongPinFormat, SimPinRemaining()) << '\n';
        return kExitPin;
    }
    const CardReport report = ReadCardReport();
    if (args.has("--json")) {
        WriteJson(report, io.out);
        return kExitOk;
    }
    for (const ReportLine& line : CardReportLines(report)) {
        io.out << line.label << ": " << line.value << '\n';
    }
    return kExitOk;
}

} // namespace

const CliCommand kCardCommand{
    .name = "card",
    .arguments = "[OPTION...]",
    .summary = "describe the card in the reader: its kind, phonebook and PIN",
    .description = "Prints the reader, the card's answer-to-reset, the kind of card (GSM SIM,\n"
                   "UICC answering class A0, UICC only), its ICCID, where the phonebook was\n"
                   "found and its geometry, the PIN's state and attempts left, and whether\n"
                   "EF SMS and EF MSISDN exist. On a UICC whose USIM also holds a local\n"
                   "phonebook besides the one written, a note says so: a newer device may\n"
                   "read that one. Nothing on the card changes.",
    .options = kOptions,
    .operands = {},
    .run = RunCard,
};

} // namespace tarvik::cli
