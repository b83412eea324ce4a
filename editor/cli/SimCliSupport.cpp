#include "editor/cli/SimCliSupport.h"

#include "base/Windows1252.h"
#include "editor/cli/CliSupport.h"
#include "editor/core/FormatCount.h"
#include "editor/sim/SimAccess.h"
#include "editor/sim/SimMessages.h"

#include <cstdlib>
#include <iostream>
#include <ostream>
#include <unistd.h>

namespace tarvik::cli {
namespace {

// Off a terminal, the progress shows the first record, every 50th and the last.
constexpr int kProgressLineEvery = 50;

bool IsTransferMessage(std::string_view caption) {
    return caption == kWriteError || caption == kInsufficientSimSpace || caption == kReadError;
}

// The value of "--name VALUE" or "--name=VALUE" at args[i]; advances i past it.
std::optional<std::string_view> OptionValue(CliArgs args, std::size_t& i, std::string_view name) {
    const std::string_view arg = args[i];
    if (arg == name) {
        if (i + 1 >= args.size()) {
            return std::nullopt;
        }
        return args[++i];
    }
    if (arg.size() > name.size() && arg.starts_with(name) && arg[name.size()] == '=') {
        return arg.substr(name.size() + 1);
    }
    return std::nullopt;
}

bool IsOption(std::string_view arg, std::string_view name) {
    return arg == name ||
           (arg.starts_with(name) && arg.size() > name.size() && arg[name.size()] == '=');
}

} // namespace

std::optional<SimArgs> ParseSimArgs(const CliCommand& command, CliArgs args, SimOptions allowed,
                                    std::ostream& err) {
    SimArgs parsed;
    bool havePath = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view arg = args[i];
        if (allowed.model && IsOption(arg, "--model")) {
            const auto value = OptionValue(args, i, "--model");
            parsed.model = value ? ParseModelIndex(*value) : std::nullopt;
            if (!parsed.model) {
                UsageError(command, err);
                return std::nullopt;
            }
        } else if (IsOption(arg, "--pin")) {
            const auto value = OptionValue(args, i, "--pin");
            if (!value) {
                UsageError(command, err);
                return std::nullopt;
            }
            Windows1252Text pin = Utf8ToWindows1252(*value);
            if (!pin.ok()) {
                err << "--pin: " << RefusedCharacterMessage(*pin.refused) << '\n';
                return std::nullopt;
            }
            parsed.pin = std::move(pin.text);
        } else if (IsOption(arg, "--reader")) {
            const auto value = OptionValue(args, i, "--reader");
            if (!value || value->empty()) {
                UsageError(command, err);
                return std::nullopt;
            }
            parsed.reader = std::string(*value);
        } else if (allowed.keepForeign && arg == "--keep-foreign") {
            parsed.keepForeign = true;
        } else if (!arg.starts_with("-") && !havePath) {
            parsed.path = std::string(arg);
            havePath = true;
        } else {
            UsageError(command, err);
            return std::nullopt;
        }
    }
    if (!havePath) {
        UsageError(command, err);
        return std::nullopt;
    }
    return parsed;
}

SimSession::~SimSession() {
    SimDisconnect();
}

int SimSession::Open(const SimArgs& args, std::ostream& err) {
    if (args.reader) {
        // The library reads the reader's name when it is initialised, on the first connect.
        ::setenv("QUENLIB_READER", args.reader->c_str(), 1);
    }
    SimConnect();
    switch (QueryCardAccess()) {
    case CardAccess::Ready:
        return kExitOk;
    case CardAccess::NotFound:
        err << kSimNotFound << '\n';
        return kExitSimNotFound;
    case CardAccess::Blocked:
        err << kSimBlocked << '\n';
        return kExitSimBlocked;
    case CardAccess::NeedsPin:
        break;
    }
    if (!args.pin) {
        err << "The SIM asks for its PIN (" << SimPinRemaining()
            << " attempts left): give it with --pin PIN\n";
        return kExitPin;
    }
    if (!SimDisablePin(*args.pin)) {
        err << FormatCount(kWrongPinFormat, SimPinRemaining()) << '\n';
        return kExitPin;
    }
    return kExitOk;
}

void StreamTransferWindow::setCaption(std::string_view text) {
    caption_ = text;
    if (!IsTransferMessage(text)) {
        return;
    }
    endProgressLine();
    err_ << text;
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
    } else if (record == 1 || record == count || record % kProgressLineEvery == 0) {
        err_ << ProgressCaption(record, count) << '\n';
    }
}

void StreamTransferWindow::endProgressLine() {
    if (progressLineOpen_) {
        err_ << '\n';
        progressLineOpen_ = false;
    }
}

bool IsTerminal(const std::ostream& err) {
    return &err == &std::cerr && ::isatty(STDERR_FILENO) == 1;
}

} // namespace tarvik::cli
