#include "tools/simcard/core/Options.h"

#include "base/Hex.h"
#include "tools/simcard/core/CardImage.h"

#include <array>
#include <charconv>
#include <functional>
#include <map>
#include <sstream>

namespace simcard {

using tarvik::ArgOption;
using tarvik::ArgParse;
using tarvik::ArgValue;
using tarvik::JoinOptions;
using tarvik::OptionRows;
using tarvik::ParseArgs;
using tarvik::WriteHelpRows;

namespace {

std::optional<int> ParseNumber(std::string_view text, int min, int max) {
    int value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value < min || value > max)
        return std::nullopt;
    return value;
}

} // namespace

std::optional<ShortAnswer> ParseShortAnswer(std::string_view text) {
    ShortAnswer answer;
    auto colon = text.find(':');
    auto ins = tarvik::FromHex(text.substr(0, colon), tarvik::HexSpacing::Spaced);
    if (!ins || ins->size() != 1)
        return std::nullopt;
    answer.ins = (*ins)[0];
    if (colon != std::string_view::npos) {
        auto length = ParseNumber(text.substr(colon + 1), 0, 0xFFFF);
        if (!length)
            return std::nullopt;
        answer.length = static_cast<std::size_t>(*length);
    }
    return answer;
}

Bytes DefaultAtr() {
    return {0x3B, 0x02, 0x14, 0x50};
}

Bytes CaseCardAtr() {
    return {0x3B, 0x05, 0x00, 0x00, 'D', 'T', 'M'};
}

Bytes UiccAtr() {
    return {0x3B, 0x80, 0x80, 0x1F, 0xC6, 0xD9};
}

Bytes AtrFor(const Options& options, const CardImage& image) {
    if (options.atr)
        return *options.atr;
    if (image.caseCard())
        return CaseCardAtr();
    return image.uicc() ? UiccAtr() : DefaultAtr();
}

std::string QueuedIccid(const std::string& digits, std::size_t place) {
    std::string result = digits;
    for (auto i = result.size(); i-- > 0 && place > 0;) {
        const auto sum = static_cast<std::size_t>(result[i] - '0') + place % 10;
        result[i] = static_cast<char>('0' + sum % 10);
        place = place / 10 + sum / 10;
    }
    return result;
}

namespace {

// Every option, by the sections of the help.
constexpr std::array connectionOptions{
    ArgOption{"--host", ArgValue::Name, "HOST", "vpcd host (default 127.0.0.1)"},
    ArgOption{"--port", ArgValue::Text, "PORT", "vpcd port (default 35963)"},
    ArgOption{"--exit-on-close", ArgValue::None, "",
              "exit when vpcd closes the connection (default: reconnect)"},
};

constexpr std::array imageOptions{
    ArgOption{"--image", ArgValue::File, "PATH",
              "card image file (default simcard.img); given again, the\n"
              "further images are cards queued behind the first"},
    ArgOption{"--adn-records", ArgValue::Text, "N", "EF ADN records (default 250)"},
    ArgOption{"--adn-length", ArgValue::Text, "N", "EF ADN record length, 14 to 255 (default 28)"},
    ArgOption{"--ext1-records", ArgValue::Text, "N|none",
              "EF EXT1 records, 'none' for no EF EXT1 (default 10)"},
    ArgOption{"--sms-records", ArgValue::Text, "N", "EF SMS records (default 10)"},
    ArgOption{"--sms-length", ArgValue::Text, "N", "EF SMS record length (default 176)"},
    ArgOption{"--msisdn-records", ArgValue::Text, "N", "EF MSISDN records (default 2)"},
    ArgOption{"--msisdn-length", ArgValue::Text, "N", "EF MSISDN record length (default 28)"},
    ArgOption{"--cdma", ArgValue::None, "",
              "add the CDMA directory 7F25 with its own EF SMS (records\nof 255 bytes)"},
    ArgOption{"--pin1", ArgValue::Text, "CODE", "CHV1, up to 8 characters (default 1234)"},
    ArgOption{"--puk1", ArgValue::Text, "CODE", "CHV1's unblock code (default 12345678)"},
    ArgOption{"--pin2", ArgValue::Text, "CODE", "CHV2, up to 8 characters (default 5678)"},
    ArgOption{"--puk2", ArgValue::Text, "CODE", "CHV2's unblock code (default 87654321)"},
    ArgOption{"--iccid", ArgValue::Text, "DIGITS|none",
              "the ICCID in EF ICCID, 1 to 20 digits, 'none' for a card\n"
              "without EF ICCID (default 8949000000000000017)"},
    ArgOption{"--pin1-disabled", ArgValue::None, "", "CHV1 starts disabled"},
    ArgOption{"--pin1-enabled", ArgValue::None, "", "CHV1 starts enabled (the default)"},
    ArgOption{"--case-card", ArgValue::None, "",
              "the card carries the contact-case application: it answers\n"
              "CASE COUNT (A0 0A), READ CASE (A0 09 P1P2 = NUMBER) and\n"
              "WRITE CASE (A0 0B P1P2 + 32 bytes), and its ATR holds \"DTM\""},
    ArgOption{"--case-slots", ArgValue::Text, "N",
              "case records of a case card, 0 to 65535 (default 10)"},
    ArgOption{"--case", ArgValue::Text, "NUMBER:HEX",
              "a case record (32 bytes; free records are all FF); makes a\n"
              "case card with at least NUMBER + 1 records; may be repeated"},
    ArgOption{"--uicc", ArgValue::None, "",
              "a UICC with a USIM application (ETSI TS 102 221): class 00\n"
              "commands only (6E 00 to class A0), FCPs, 61 xx and 6C xx,\n"
              "PINs by key reference, EF DIR and ADF USIM"},
    ArgOption{"--phonebook", ArgValue::Text, "telecom|global|local",
              "where a UICC keeps EF ADN and EF EXT1: in DF Telecom (the\n"
              "default), in DF Telecom/DF Phonebook 5F3A or in ADF USIM/\n"
              "DF Phonebook 5F3A, the last two named by their EF PBR"},
    ArgOption{"--local-phonebook", ArgValue::None, "",
              "a UICC also has the USIM phonebook ADF USIM/5F3A besides the\n"
              "one of --phonebook"},
    ArgOption{"--gsm-class", ArgValue::None, "",
              "a UICC also answers class A0 commands as the GSM SIM does\n"
              "(a 2G view of the same files and codes)"},
};

constexpr std::array behaviourOptions{
    ArgOption{"--atr", ArgValue::Text, "HEX",
              "answer to reset (default 3B021450, for a case card\n"
              "3B05000044544D, for a UICC 3B80801FC6D9)"},
    ArgOption{"--log", ArgValue::File, "PATH", "append every command and answer in hex to PATH"},
};

constexpr std::array timingOptions{
    ArgOption{"--timing", ArgValue::Text, "instant|real",
              "instant (the default) answers at once; real answers when a\n"
              "card on T=0 would: (5 header bytes + procedure byte + data\n"
              "in + data out + 2 status bytes) x 11 etu, etu = 372 / D /\n"
              "3.579545 MHz, plus the write time per accepted update"},
    ArgOption{"--baud", ArgValue::Text, "N",
              "the rate a card negotiated, 9600 x D for D of 1, 2, 4, 8,\n"
              "12, 16, 20, 32, 64 (default 9600); needs --timing real"},
    ArgOption{"--write-ms", ArgValue::Text, "N",
              "EEPROM write time per UPDATE RECORD or UPDATE BINARY, 0 to\n"
              "1000 ms (default 4); needs --timing real"},
};

constexpr std::array faultOptions{
    ArgOption{"--drop-after", ArgValue::Text, "N",
              "answer N commands, then drop the connection and exit"},
    ArgOption{"--short-answer", ArgValue::Text, "INS[:N]",
              "cut answers to commands with INS (hex) to N bytes,\n"
              "status word included; without N, drop the last byte"},
    ArgOption{"--update-retries", ArgValue::Text, "N",
              "a successful UPDATE RECORD or UPDATE BINARY answers 63 CN\n"
              "(written after N internal retries, N 1 to 15)"},
    ArgOption{"--help", ArgValue::None, "", "show this text and exit"},
    ArgOption{"--version", ArgValue::None, "", "show the version and exit"},
};

constexpr auto allOptions =
    JoinOptions(connectionOptions, imageOptions, behaviourOptions, timingOptions, faultOptions);

// The column where the options' texts start in the help.
constexpr std::size_t helpTagWidth = 22;

void WriteSection(std::string_view heading, std::span<const ArgOption> options, std::ostream& out) {
    out << heading << ":\n";
    WriteHelpRows(OptionRows(options), out, helpTagWidth);
}

} // namespace

std::span<const ArgOption> OptionTable() {
    return allOptions;
}

std::string Usage() {
    std::ostringstream out;
    out << "Usage: simcard [OPTION...]\n"
           "A virtual GSM SIM, or UICC, for the vpcd reader driver of pcscd: connects to\n"
           "vpcd's TCP port and answers its commands. The card image is loaded from --image,\n"
           "created from the geometry and code options when it does not exist, and saved\n"
           "after every change.\n"
           "\n";
    WriteSection("Connection", connectionOptions, out);
    WriteSection("Card image", imageOptions, out);
    out << "Changing cards (with queued images):\n"
           "  kill -USR1 PID          takes the card out of the reader\n"
           "  kill -USR2 PID          puts the next queued card in (after the last, the first);\n"
           "                          a new queued image gets the --iccid plus its place in\n"
           "                          the queue, so that each card has its own\n";
    WriteSection("Card behaviour", behaviourOptions, out);
    WriteSection("Timing", timingOptions, out);
    WriteSection("Faults", faultOptions, out);
    return out.str();
}

ParsedArguments ParseArguments(std::span<const std::string_view> arguments) {
    ParsedArguments parsed;
    auto& o = parsed.options;
    std::vector<std::filesystem::path> images;
    auto& s = o.settings;
    bool timingChanged = false;

    auto number = [](int& target, int min, int max) {
        return [&target, min, max](std::string_view v) {
            auto n = ParseNumber(v, min, max);
            if (n)
                target = *n;
            return n.has_value();
        };
    };
    // Record counts travel in P1 and record lengths in P3, one byte each.
    auto count = [&number](int& target, int min) { return number(target, min, 255); };
    auto nonEmpty = [](auto& target) {
        return [&target](std::string_view v) {
            target = v;
            return !v.empty();
        };
    };
    auto code = [](std::string& target) {
        return [&target](std::string_view v) {
            target = v;
            return v.size() <= 8;
        };
    };
    using Setter = std::function<bool(std::string_view)>;
    const std::map<std::string_view, Setter> withValue = {
        {"--host", nonEmpty(o.host)},
        {"--port", number(o.port, 1, 65535)},
        {"--image",
         [&](std::string_view v) {
             images.emplace_back(v);
             return !v.empty();
         }},
        {"--adn-records", count(s.adnRecords, 0)},
        {"--adn-length", count(s.adnRecordLength, 14)},
        {"--ext1-records",
         [&](std::string_view v) {
             if (v == "none") {
                 s.ext1Records = -1;
                 return true;
             }
             return count(s.ext1Records, 0)(v);
         }},
        {"--iccid",
         [&](std::string_view v) {
             if (v == "none")
                 s.iccid.reset();
             else
                 s.iccid = std::string(v);
             return true;
         }},
        {"--sms-records", count(s.smsRecords, 0)},
        {"--sms-length", count(s.smsRecordLength, 1)},
        {"--msisdn-records", count(s.msisdnRecords, 0)},
        {"--msisdn-length", count(s.msisdnRecordLength, 14)},
        {"--pin1", code(s.pin1)},
        {"--puk1", code(s.puk1)},
        {"--pin2", code(s.pin2)},
        {"--puk2", code(s.puk2)},
        {"--atr",
         [&](std::string_view v) {
             auto atr = tarvik::FromHex(v, tarvik::HexSpacing::Spaced);
             // An ATR is TS, T0 and at most 31 more bytes; TS is 3B or 3F.
             if (!atr || atr->size() < 2 || atr->size() > 33 ||
                 ((*atr)[0] != 0x3B && (*atr)[0] != 0x3F))
                 return false;
             o.atr = *atr;
             return true;
         }},
        {"--log", nonEmpty(o.commandLog)},
        {"--drop-after", number(o.dropAfterCommands, 0, 1 << 30)},
        {"--case-slots", number(s.caseSlots, 0, MaxCaseSlots)},
        {"--update-retries", number(o.updateRetries, 1, 15)},
        {"--timing",
         [&](std::string_view v) {
             o.realTiming = v == "real";
             return v == "real" || v == "instant";
         }},
        {"--baud",
         [&](std::string_view v) {
             timingChanged = true;
             auto baud = ParseNumber(v, 1, 1 << 30);
             if (baud && BaudRateAdjustment(*baud))
                 o.timing.baud = *baud;
             return baud && BaudRateAdjustment(*baud);
         }},
        {"--write-ms",
         [&](std::string_view v) {
             timingChanged = true;
             return number(o.timing.writeMs, 0, 1000)(v);
         }},
        {"--case",
         [&](std::string_view v) {
             auto colon = v.find(':');
             auto number = ParseNumber(v.substr(0, colon), 0, 0xFFFF);
             auto record = colon == v.npos
                               ? std::nullopt
                               : tarvik::FromHex(v.substr(colon + 1), tarvik::HexSpacing::Spaced);
             if (!number || !record || record->size() != CaseRecordLength ||
                 s.caseRecords.contains(static_cast<std::uint16_t>(*number)))
                 return false;
             s.caseRecords[static_cast<std::uint16_t>(*number)] = *record;
             return true;
         }},
        {"--phonebook",
         [&](std::string_view v) {
             static const std::map<std::string_view, PhonebookLayout> layouts = {
                 {"telecom", PhonebookLayout::Telecom},
                 {"global", PhonebookLayout::Global},
                 {"local", PhonebookLayout::Local}};
             auto layout = layouts.find(v);
             if (layout != layouts.end())
                 s.phonebook = layout->second;
             return layout != layouts.end();
         }},
        {"--short-answer",
         [&](std::string_view v) {
             auto answer = ParseShortAnswer(v);
             if (answer)
                 o.shortAnswers.push_back(*answer);
             return answer.has_value();
         }},
    };
    const std::map<std::string_view, std::function<void()>> flags = {
        {"--help", [&] { parsed.help = true; }},
        {"--version", [&] { parsed.version = true; }},
        {"--exit-on-close", [&] { o.exitOnClose = true; }},
        {"--cdma", [&] { s.cdmaDirectory = true; }},
        {"--case-card", [&] { s.caseCard = true; }},
        {"--pin1-disabled", [&] { s.pin1Enabled = false; }},
        {"--pin1-enabled", [&] { s.pin1Enabled = true; }},
        {"--uicc", [&] { s.uicc = true; }},
        {"--local-phonebook", [&] { s.localPhonebook = true; }},
        {"--gsm-class", [&] { s.gsmClass = true; }},
    };

    const ArgParse parse = ParseArgs(allOptions, {}, arguments);
    if (!parse.ok()) {
        parsed.error = parse.error;
        return parsed;
    }
    for (const auto& [name, value] : parse.args.options) {
        if (auto flag = flags.find(name); flag != flags.end()) {
            flag->second();
        } else if (!withValue.at(name)(value)) {
            parsed.error = "bad value '" + std::string(value) + "' for " + std::string(name);
            return parsed;
        }
    }
    if (!images.empty()) {
        o.imagePath = images.front();
        o.queuedImages.assign(images.begin() + 1, images.end());
    }
    if (auto error = Validate(s))
        parsed.error = *error;
    else if (timingChanged && !o.realTiming)
        parsed.error = "--baud and --write-ms need --timing real";
    return parsed;
}

} // namespace simcard
