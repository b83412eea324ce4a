#include "editor/cli/SimCliSupport.h"

#include "base/Places.h"
#include "base/Windows1252.h"
#include "editor/cli/CliSupport.h"
#include "editor/core/FormatCount.h"
#include "editor/sim/ReaderList.h"
#include "editor/sim/SimAccess.h"
#include "editor/sim/SimMessages.h"

#include <cstdlib>
#include <ostream>

namespace tarvik::cli {
namespace {

// Off a terminal, the progress shows the first record, every 50th and the last.
constexpr int progressLineEvery = 50;

bool IsTransferMessage(std::string_view caption) {
    return caption == kWriteError || caption == kInsufficientSimSpace || caption == kReadError;
}

} // namespace

std::string WhyNoCard(std::optional<std::string> reader) {
    const char* fixed = std::getenv("QUENLIB_READER");
    if (!reader && fixed != nullptr && std::string_view(fixed) != "*") {
        reader = fixed;
    }
    const ReaderListing listing = ListReaders();
    if (!listing.error.empty()) {
        return listing.error;
    }
    if (listing.readers.empty()) {
        return "no card readers";
    }
    if (!reader) {
        return "no reader holds a card";
    }
    for (const auto& state : listing.readers) {
        if (state.name == *reader) {
            return "reader '" + *reader + "' holds no card";
        }
    }
    return "no reader '" + *reader + "' (see 'tarvik-cli readers')";
}

std::optional<SimArgs> ReadSimArgs(const ParsedArgs& args, std::ostream& err) {
    SimArgs sim;
    if (!args.operands.empty()) {
        sim.path = std::string(args.operands[0]);
    }
    sim.model = GivenModel(args);
    if (const auto pin = args.value("--pin")) {
        Windows1252Text text = Utf8ToWindows1252(*pin);
        if (!text.ok()) {
            err << "tarvik-cli: --pin: " << RefusedCharacterMessage(*text.refused) << '\n';
            return std::nullopt;
        }
        sim.pin = std::move(text.text);
    }
    if (const auto reader = args.value("--reader")) {
        sim.reader = std::string(*reader);
    }
    sim.keepForeign = args.has("--keep-foreign");
    sim.noBackup = args.has("--no-backup");
    sim.anyCard = args.has("--any-card");
    return sim;
}

int FailedTransferStatus(int status, std::ostream& err) {
    switch (SimLastRefusal()) {
    case CardRefusal::PinNeeded:
        err << "tarvik-cli: the SIM asks for its PIN: give it with --pin PIN\n";
        return exitPin;
    case CardRefusal::PinBlocked:
        err << "tarvik-cli: " << kSimBlocked << '\n';
        return exitSimBlocked;
    case CardRefusal::None:
    case CardRefusal::Other:
        break;
    }
    return status;
}

SimSession::~SimSession() {
    SimDisconnect();
}

int SimSession::open(const SimArgs& args, std::ostream& err) {
    if (args.reader) {
        // The library reads the reader's name when it is initialised, on the first connect.
        base::SetProcessEnvironment("QUENLIB_READER", *args.reader);
    }
    SimConnect();
    switch (QueryCardAccess()) {
    case CardAccess::Ready:
        return exitOk;
    case CardAccess::NotFound:
        err << "tarvik-cli: " << kSimNotFound << ": " << WhyNoCard(args.reader) << '\n';
        return exitSimNotFound;
    case CardAccess::Blocked:
        err << "tarvik-cli: " << kSimBlocked << '\n';
        return exitSimBlocked;
    case CardAccess::NeedsPin:
        break;
    }
    if (!args.pin) {
        err << "tarvik-cli: the SIM asks for its PIN (" << SimPinRemaining()
            << " attempts left): give it with --pin PIN\n";
        return exitPin;
    }
    if (!SimDisablePin(*args.pin)) {
        err << "tarvik-cli: " << FormatCount(kWrongPinFormat, SimPinRemaining()) << '\n';
        return exitPin;
    }
    return exitOk;
}

void StreamTransferWindow::setCaption(std::string_view text) {
    caption_ = text;
    if (!IsTransferMessage(text)) {
        return;
    }
    endProgressLine();
    err_ << "tarvik-cli: " << text;
    if (!detail_.empty()) {
        err_ << ": " << detail_;
        detail_.clear();
    }
    err_ << '\n';
}

void StreamTransferWindow::progress(int record, int count) {
    if (count == 0) {
        endProgressLine();
        return;
    }
    if (terminal_) {
        err_ << '\r' << ProgressCaption(record, count) << std::flush;
        progressLineOpen_ = true;
    } else if (record == 1 || record == count || record % progressLineEvery == 0) {
        err_ << ProgressCaption(record, count) << '\n';
    }
}

void StreamTransferWindow::endProgressLine() {
    if (progressLineOpen_) {
        err_ << '\n';
        progressLineOpen_ = false;
    }
}

} // namespace tarvik::cli
