#include "base/Places.h"
#include "editor/cli/CardJson.h"
#include "editor/cli/CliCommand.h"
#include "editor/cli/CliSupport.h"
#include "editor/cli/SimCliSupport.h"
#include "editor/core/FormatCount.h"
#include "editor/sim/CardReport.h"
#include "editor/sim/SimAccess.h"
#include "editor/sim/SimMessages.h"

#include <array>
#include <cstdlib>
#include <ostream>

namespace tarvik::cli {
namespace {

constexpr ArgOption jsonOption{"--json", ArgValue::None, "", "print the report as JSON"};

constexpr std::array options{
    ArgOption{"--pin", ArgValue::Text, "PIN", "present the card's PIN first (it stays enabled)"},
    readerOption,
    jsonOption,
};

// Describes the card in the reader: what kind, where its phonebook is, its PIN.
int RunCard(const CliCommand&, const ParsedArgs& args, CliIo& io) {
    const auto parsed = ReadSimArgs(args, io.err);
    if (!parsed) {
        return exitUsage;
    }
    SimSession session;
    if (parsed->reader) {
        base::SetProcessEnvironment("QUENLIB_READER", *parsed->reader);
    }
    SimConnect();
    const CardAccess access = QueryCardAccess();
    if (access == CardAccess::NotFound) {
        io.err << "tarvik-cli: " << kSimNotFound << ": " << WhyNoCard(parsed->reader) << '\n';
        return exitSimNotFound;
    }
    if (parsed->pin && access == CardAccess::Blocked) {
        io.err << "tarvik-cli: " << kSimBlocked << '\n';
        return exitSimBlocked;
    }
    if (parsed->pin && access == CardAccess::NeedsPin && !SimVerifyPin(*parsed->pin)) {
        io.err << "tarvik-cli: " << FormatCount(kWrongPinFormat, SimPinRemaining()) << '\n';
        return exitPin;
    }
    const CardReport report = ReadCardReport();
    if (args.has("--json")) {
        WriteCardJson(report, io.out);
        return exitOk;
    }
    for (const ReportLine& line : CardReportLines(report)) {
        io.out << line.label << ": " << line.value << '\n';
    }
    return exitOk;
}

} // namespace

const CliCommand cardCommand{
    .name = "card",
    .arguments = "[OPTION...]",
    .summary = "describe the card in the reader: its kind, phonebook and PIN",
    .description = "Prints the reader, the card's answer-to-reset, the kind of card (GSM SIM,\n"
                   "UICC answering class A0, UICC only), its ICCID, where the phonebook was\n"
                   "found and its geometry, the PIN's state and attempts left, and whether\n"
                   "EF SMS and EF MSISDN exist. On a UICC whose USIM also holds a local\n"
                   "phonebook besides the one written, a note says so: a newer device may\n"
                   "read that one. Nothing on the card changes.",
    .options = options,
    .operands = {},
    .run = RunCard,
};

} // namespace tarvik::cli
