#include "tools/gsmmodem/core/ModemSettings.h"

#include "base/CommandLine.h"

#include <array>
#include <charconv>
#include <sstream>

namespace gsmmodem {

using tarvik::ArgOption;
using tarvik::ArgValue;

namespace {

constexpr std::array options{
    ArgOption{"--link", ArgValue::File, "PATH",
              "also make PATH a symbolic link to the serial side (removed at exit)"},
    ArgOption{"--record", ArgValue::File, "FILE",
              "append \"pdu HEX\" for every message received, \"deleted N\" for every\n"
              "message deleted"},
    ArgOption{"--pin", ArgValue::Text, "PIN", "the SIM asks for this PIN before it sends anything"},
    ArgOption{"--fail", ArgValue::Text, "K[:CODE]",
              "answer the K-th message with +CMS ERROR: CODE (500 when not given)"},
    ArgOption{"--mute-from", ArgValue::Count, "K", "answer nothing from the K-th AT+CMGS on"},
    ArgOption{"--mute", ArgValue::None, "", "answer nothing at all"},
    ArgOption{"--reply", ArgValue::Text, "TEXT",
              "after each message, deliver TEXT from the destination (+CMTI)"},
    ArgOption{"--reply-after", ArgValue::Count, "MS",
              "deliver the reply MS milliseconds after the message rather than at once"},
    ArgOption{"--deliver", ArgValue::Choice, "cmt|cmti",
              "replies go to the line (+CMT and the PDU) or are stored and announced\n"
              "(+CMTI, the default)"},
    ArgOption{"--reply-parts", ArgValue::Count, "N", "a reply comes in N concatenated parts"},
    ArgOption{"--status-report", ArgValue::Choice, "cds|cdsi",
              "after each message, a status report on it (delivered) goes to the line\n"
              "(+CDS and the PDU) or is stored and announced (+CDSI)"},
    ArgOption{"--reply-reference", ArgValue::Choice, "8|16",
              "the parts' reference is 8-bit (the default) or 16-bit"},
    ArgOption{"--register-after", ArgValue::Count, "SECONDS",
              "searching for the network until SECONDS after the start (AT+CREG?,\n"
              "AT+CEREG?, AT+CSQ tell; AT+CMGS fails), then registered at home"},
    ArgOption{"--chatter", ArgValue::None, "",
              "unsolicited +CREG and RING lines before every answer"},
    ArgOption{"--delay", ArgValue::Count, "MS", "wait MS milliseconds before every answer"},
    ArgOption{"--help", ArgValue::None, "", "show this help and exit"},
    ArgOption{"--version", ArgValue::None, "", "show the version and exit"},
};

// A count the parsing has already checked for digits (nine at most).
std::size_t CountOf(std::string_view text) {
    std::size_t value = 0;
    std::from_chars(text.data(), text.data() + text.size(), value);
    return value;
}

// "" when taken, else what is wrong with the value.
std::string Apply(std::string_view name, std::string_view value, ModemSettings& settings) {
    ModemOptions& modem = settings.modem;
    if (name == "--link") {
        settings.link = value;
    } else if (name == "--record") {
        settings.record = value;
    } else if (name == "--pin") {
        modem.pin = value;
    } else if (name == "--reply") {
        modem.reply = value;
    } else if (name == "--mute") {
        modem.mute = true;
    } else if (name == "--chatter") {
        modem.chatter = true;
    } else if (name == "--deliver") {
        modem.deliverToLine = value == "cmt";
    } else if (name == "--status-report") {
        modem.statusReports = value == "cds" ? StatusReports::ToLine : StatusReports::Stored;
    } else if (name == "--reply-reference") {
        modem.wideReference = value == "16";
    } else if (name == "--fail") {
        const std::size_t colon = value.find(':');
        const std::string_view k = value.substr(0, colon);
        const std::string_view code =
            colon == std::string_view::npos ? std::string_view("500") : value.substr(colon + 1);
        const auto digits = [](std::string_view text) {
            return !text.empty() && text.size() <= 9 &&
                   text.find_first_not_of("0123456789") == std::string_view::npos;
        };
        if (!digits(k) || CountOf(k) == 0 || !digits(code)) {
            return "--fail takes K or K:CODE, K from 1";
        }
        modem.failMessage = CountOf(k);
        modem.failCode = static_cast<int>(CountOf(code));
    } else if (name == "--mute-from") {
        if (CountOf(value) == 0) {
            return "--mute-from takes a number from 1";
        }
        modem.muteFrom = CountOf(value);
    } else if (name == "--reply-parts") {
        if (CountOf(value) == 0 || CountOf(value) > 255) {
            return "--reply-parts takes a number from 1 to 255";
        }
        modem.replyParts = CountOf(value);
    } else if (name == "--register-after") {
        settings.registerAfterSeconds = static_cast<int>(CountOf(value));
        modem.registered = settings.registerAfterSeconds == 0;
    } else if (name == "--reply-after") {
        modem.replyLater = true;
        settings.replyAfterMs = static_cast<int>(CountOf(value));
    } else if (name == "--delay") {
        settings.delayMs = static_cast<int>(CountOf(value));
    }
    return {};
}

} // namespace

ParsedModemArgs ParseModemArgs(const std::vector<std::string_view>& args) {
    ParsedModemArgs parsed;
    if (tarvik::AsksForHelp(args)) {
        parsed.help = true;
        return parsed;
    }
    const tarvik::ArgParse parse = tarvik::ParseArgs(options, {}, args);
    if (!parse.ok()) {
        parsed.error = parse.error;
        return parsed;
    }
    for (const auto& [name, value] : parse.args.options) {
        if (name == "--version") {
            parsed.version = true;
        } else if (std::string problem = Apply(name, value, parsed.settings); !problem.empty()) {
            parsed.error = std::move(problem);
            return parsed;
        }
    }
    return parsed;
}

std::string ModemUsage() {
    std::ostringstream out;
    out << "Usage: gsmmodem [OPTION]...\n"
           "A virtual GSM modem: opens a pseudo-terminal pair, prints the path of its serial "
           "side on\n"
           "standard output, and answers the AT commands of a USB GSM modem in PDU mode there "
           "(echo until\n"
           "ATE0, AT+CPIN, AT+CMGF=0, AT+CMGS with its \"> \" prompt, +CMGS references, AT+CMGL, "
           "AT+CMGR,\n"
           "AT+CMGD, AT+CREG?, AT+CEREG?, AT+CSQ, AT+CGMI, AT+CGMM). It runs until SIGTERM or "
           "SIGINT.\n"
           "\n"
           "Options:\n";
    tarvik::WriteHelpRows(tarvik::OptionRows(options), out, 16);
    return out.str();
}

} // namespace gsmmodem
