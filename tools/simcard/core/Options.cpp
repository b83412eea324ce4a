#include "tools/simcard/core/Options.h"

#include "base/Hex.h"
#include "tools/simcard/core/CardImage.h"

#include <charconv>
#include <functional>
#include <map>

namespace simcard {

namespace {

std::optional<int> parseNumber(std::string_view text, int min, int max) {
    int value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value < min || value > max)
        return std::nullopt;
    return value;
}

} // namespace

std::optional<ShortAnswer> parseShortAnswer(std::string_view text) {
    ShortAnswer answer;
    auto colon = text.find(':');
    auto ins = tarvik::FromHex(text.substr(0, colon), tarvik::HexSpacing::Spaced);
    if (!ins || ins->size() != 1)
        return std::nullopt;
    answer.ins = (*ins)[0];
    if (colon != std::string_view::npos) {
        auto length = parseNumber(text.substr(colon + 1), 0, 0xFFFF);
        if (!length)
            return std::nullopt;
        answer.length = static_cast<std::size_t>(*length);
    }
    return answer;
}

Bytes defaultAtr() {
    return {0x3B, 0x02, 0x14, 0x50};
}

Bytes caseCardAtr() {
    return {0x3B, 0x05, 0x00, 0x00, 'D', 'T', 'M'};
}

Bytes uiccAtr() {
    return {0x3B, 0x80, 0x80, 0x1F, 0xC6, 0xD9};
}

Bytes atrFor(const Options& options, const CardImage& image) {
    if (options.atr)
        return *options.atr;
    if (image.caseCard())
        return caseCardAtr();
    return image.uicc() ? uiccAtr() : defaultAtr();
}

std::string queuedIccid(const std::string& digits, std::size_t place) {
    std::string result = digits;
    for (auto i = result.size(); i-- > 0 && place > 0;) {
        const auto sum = static_cast<std::size_t>(result[i] - '0') + place % 10;
        result[i] = static_cast<char>('0' + sum % 10);
        place = place / 10 + sum / 10;
    }
    return result;
}

std::string usage() {
    return R"(Usage: simcard [OPTION...]
A virtual GSM SIM, or UICC, for the vpcd reader driver of pcscd: connects to
vpcd's TCP port and answers its commands. The card image is loaded from --image,
created from the geometry and code options when it does not exist, and saved
after every change.

Connection:
  --host HOST             vpcd host (default 127.0.0.1)
  --port PORT             vpcd port (default 35963)
  --exit-on-close         exit when vpcd closes the connection (default: reconnect)
Card image:
  --image PATH            card image file (default simcard.img); given again, the
                          further images are cards queued behind the first
  --adn-records N         EF ADN records (default 250)
  --adn-length N          EF ADN record length, 14 to 255 (default 28)
  --ext1-records N|none   EF EXT1 records, 'none' for no EF EXT1 (default 10)
  --sms-records N         EF SMS records (default 10)
  --sms-length N          EF SMS record length (default 176)
  --msisdn-records N      EF MSISDN records (default 2)
  --msisdn-length N       EF MSISDN record length (default 28)
  --cdma                  add the CDMA directory 7F25 with its own EF SMS (records
                          of 255 bytes)
  --pin1 CODE, --puk1 CODE, --pin2 CODE, --puk2 CODE
                          secret codes, up to 8 characters
                          (defaults 1234, 12345678, 5678, 87654321)
  --iccid DIGITS|none     the ICCID in EF ICCID, 1 to 20 digits, 'none' for a card
                          without EF ICCID (default 8949000000000000017)
  --pin1-disabled         CHV1 starts disabled
  --pin1-enabled          CHV1 starts enabled (the default)
  --case-card             the card carries the contact-case application: it answers
                          CASE COUNT (A0 0A), READ CASE (A0 09 P1P2 = NUMBER) and
                          WRITE CASE (A0 0B P1P2 + 32 bytes), and its ATR holds "DTM"
  --case-slots N          case records of a case card, 0 to 65535 (default 10)
  --case NUMBER:HEX       a case record (32 bytes; free records are all FF); makes a
                          case card with at least NUMBER + 1 records; may be repeated
  --uicc                  a UICC with a USIM application (ETSI TS 102 221): class 00
                          commands only (6E 00 to class A0), FCPs, 61 xx and 6C xx,
                          PINs by key reference, EF DIR and ADF USIM
  --phonebook telecom|global|local
                          where a UICC keeps EF ADN and EF EXT1: in DF Telecom (the
                          default), in DF Telecom/DF Phonebook 5F3A or in ADF USIM/
                          DF Phonebook 5F3A, the last two named by their EF PBR
  --local-phonebook       a UICC also has the USIM phonebook ADF USIM/5F3A besides the
                          one of --phonebook
  --gsm-class             a UICC also answers class A0 commands as the GSM SIM does
                          (a 2G view of the same files and codes)
Changing cards (with queued images):
  kill -USR1 PID          takes the card out of the reader
  kill -USR2 PID          puts the next queued card in (after the last, the first);
                          a new queued image gets the --iccid plus its place in
                          the queue, so that each card has its own
Card behaviour:
  --atr HEX               answer to reset (default 3B021450, for a case card
                          3B05000044544D, for a UICC 3B80801FC6D9)
  --log PATH              append every command and answer in hex to PATH
Timing:
  --timing instant|real   instant (the default) answers at once; real answers when a
                          card on T=0 would: (5 header bytes + procedure byte + data
                          in + data out + 2 status bytes) x 11 etu, etu = 372 / D /
                          3.579545 MHz, plus the write time per accepted update
  --baud N                the rate a card negotiated, 9600 x D for D of 1, 2, 4, 8,
                          12, 16, 20, 32, 64 (default 9600); needs --timing real
  --write-ms N            EEPROM write time per UPDATE RECORD or UPDATE BINARY, 0 to
                          1000 ms (default 4); needs --timing real
Faults:
  --drop-after N          answer N commands, then drop the connection and exit
  --short-answer INS[:N]  cut answers to commands with INS (hex) to N bytes,
                          status word included; without N, drop the last byte
  --update-retries N      a successful UPDATE RECORD or UPDATE BINARY answers 63 CN
                          (written after N internal retries, N 1 to 15)
  --help                  show this text and exit
  --version               show the version and exit
)";
}

ParsedArguments parseArguments(std::span<const std::string_view> arguments) {
    ParsedArguments parsed;
    auto& o = parsed.options;
    std::vector<std::filesystem::path> images;
    auto& s = o.settings;
    bool timingChanged = false;

    auto number = [](int& target, int min, int max) {
        return [&target, min, max](std::string_view v) {
            auto n = parseNumber(v, min, max);
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
             auto baud = parseNumber(v, 1, 1 << 30);
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
             auto number = parseNumber(v.substr(0, colon), 0, 0xFFFF);
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
             auto answer = parseShortAnswer(v);
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

    for (std::size_t i = 0; i < arguments.size(); ++i) {
        auto argument = arguments[i];
        std::string_view name = argument;
        std::optional<std::string_view> value;
        if (auto eq = argument.find('='); argument.starts_with("--") && eq != argument.npos) {
            name = argument.substr(0, eq);
            value = argument.substr(eq + 1);
        }
        if (auto flag = flags.find(name); flag != flags.end() && !value) {
            flag->second();
            continue;
        }
        auto setter = withValue.find(name);
        if (setter == withValue.end()) {
            parsed.error = "unknown option '" + std::string(argument) + "'";
            return parsed;
        }
        if (!value) {
            if (i + 1 == arguments.size()) {
                parsed.error = "option '" + std::string(name) + "' needs a value";
                return parsed;
            }
            value = arguments[++i];
        }
        if (!setter->second(*value)) {
            parsed.error = "bad value '" + std::string(*value) + "' for " + std::string(name);
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
