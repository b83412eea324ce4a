#include "simlib/coding/CdmaSmsRecord.h"

#include "gsm/ByteReader.h"
#include "simlib/coding/BitStream.h"

#include <algorithm>
#include <string>

namespace quenlib {

namespace {

// Transport layer parameters (TIA/EIA-637 3.4.3) and bearer data subparameters (4.5).
constexpr std::uint8_t kTeleserviceId = 0x00;
constexpr std::uint8_t kOriginatingAddress = 0x02;
constexpr std::uint8_t kDestinationAddress = 0x04;
constexpr std::uint8_t kBearerReplyOption = 0x06;
constexpr std::uint8_t kBearerData = 0x08;
constexpr std::uint8_t kMessageIdentifier = 0x00;
constexpr std::uint8_t kUserData = 0x01;
constexpr std::uint8_t kTimeStamp = 0x03;

constexpr std::uint8_t kPointToPoint = 0x00;
// Teleservice 4098 (TIA/EIA-41-D): cellular messaging, the one of ordinary text messages.
constexpr std::uint16_t kCellularMessaging = 0x1002;
constexpr std::uint8_t kReplySequence = 0xFC;
constexpr unsigned kDeliverMessage = 1;
constexpr unsigned kSubmitMessage = 2;
constexpr std::size_t kTimeStampBytes = 6;

// User data encodings.
constexpr unsigned kOctet = 0;
constexpr unsigned kExtendedProtocol = 1;
constexpr unsigned kAscii7Bit = 2;
constexpr unsigned kIa5 = 3;
constexpr unsigned kUnicode = 4;
constexpr unsigned kLatin = 8;

constexpr std::uint8_t kUsedRecord = 0x01;
constexpr std::size_t kMaxFields = 255;

// DTMF digit codes: 1 ... 9 are themselves, 10 is '0', 11 '*' and 12 '#'. Codes outside
// 1 ... 12 are not digits; they read as their decimal value, as a record written with them
// has always been shown.
std::u16string DtmfCharacters(unsigned code) {
    switch (code) {
    case 10:
        return u"0";
    case 11:
        return u"*";
    case 12:
        return u"#";
    default: {
        const std::string decimal = std::to_string(code);
        return std::u16string(decimal.begin(), decimal.end());
    }
    }
}

// The DTMF code of a dialling character, 0 for one that has none.
unsigned DtmfCode(char16_t c) {
    if (c >= u'1' && c <= u'9') {
        return static_cast<unsigned>(c - u'0');
    }
    switch (c) {
    case u'0':
        return 10;
    case u'*':
        return 11;
    case u'#':
        return 12;
    default:
        return 0;
    }
}

// An address parameter: digit mode, number mode, the number's type and plan when present,
// the field count and the fields.
std::u16string ReadAddress(std::span<const std::uint8_t> value) {
    BitReader bits(value);
    const bool eightBitDigits = bits.bits(1) != 0;
    const bool dataNetwork = bits.bits(1) != 0;
    if (eightBitDigits) {
        bits.bits(3); // number type
        if (!dataNetwork) {
            bits.bits(4); // numbering plan
        }
    }
    const unsigned fields = bits.bits(8);
    if (eightBitDigits && dataNetwork) {
        // An e-mail or IP address: shown as a placeholder number.
        return u"00000000000";
    }
    std::u16string address;
    const unsigned width = eightBitDigits ? 8 : 4;
    for (unsigned i = 0; i < fields && bits.has(width); ++i) {
        const unsigned field = bits.bits(width);
        address += eightBitDigits ? std::u16string(1, static_cast<char16_t>(field))
                                  : DtmfCharacters(field);
    }
    return address;
}

// The user data subparameter: encoding, field count, the characters.
std::u16string ReadUserData(std::span<const std::uint8_t> value) {
    BitReader bits(value);
    const unsigned encoding = bits.bits(5);
    if (encoding == kExtendedProtocol) {
        bits.bits(8); // message type
    }
    const unsigned fields = bits.bits(8);
    unsigned width = 0;
    switch (encoding) {
    case kAscii7Bit:
    case kIa5:
        width = 7;
        break;
    case kUnicode:
        width = 16;
        break;
    case kOctet:
    case kLatin:
        width = 8;
        break;
    default:
        return {};
    }
    std::u16string text;
    for (unsigned i = 0; i < fields && bits.has(width); ++i) {
        text.push_back(static_cast<char16_t>(bits.bits(width)));
    }
    return text;
}

unsigned Bcd(std::uint8_t byte) {
    return (byte >> 4) * 10u + (byte & 0x0Fu);
}

std::uint8_t ToBcd(unsigned value) {
    value %= 100;
    return static_cast<std::uint8_t>((value / 10) << 4 | value % 10);
}

// Year, month, day, hour, minute, second in BCD; a year byte below 96 is in the 2000s.
MessageTime ReadTimeStamp(std::span<const std::uint8_t> value) {
    const unsigned year = (value[0] < 0x96 ? 2000 : 1900) + Bcd(value[0]);
    return {year, Bcd(value[1]), Bcd(value[2]), Bcd(value[3]), Bcd(value[4]), Bcd(value[5])};
}

// Reads the bearer data's text and time stamp into `message`; false for a time stamp of the
// wrong length.
bool ReadBearerData(std::span<const std::uint8_t> value, ShortMessage& message) {
    gsm::ByteReader in(value);
    while (!in.atEnd()) {
        const std::uint8_t id = in.byte();
        const auto field = in.take(in.byte());
        if (id == kUserData) {
            message.text = ReadUserData(field);
        } else if (id == kTimeStamp) {
            if (field.size() != kTimeStampBytes) {
                return false;
            }
            message.time = ReadTimeStamp(field);
        }
    }
    return true;
}

void AppendParameter(std::vector<std::uint8_t>& out, std::uint8_t id,
                     const std::vector<std::uint8_t>& value) {
    out.push_back(id);
    out.push_back(static_cast<std::uint8_t>(value.size()));
    out.insert(out.end(), value.begin(), value.end());
}

std::vector<std::uint8_t> AddressValue(std::u16string_view address) {
    std::vector<unsigned> codes;
    for (char16_t c : address) {
        if (const unsigned code = DtmfCode(c); code != 0 && codes.size() < kMaxFields) {
            codes.push_back(code);
        }
    }
    BitWriter bits;
    bits.put(0, 1); // DTMF digits
    bits.put(0, 1); // telephone numbering
    bits.put(static_cast<unsigned>(codes.size()), 8);
    for (unsigned code : codes) {
        bits.put(code, 4);
    }
    return bits.bytes();
}

std::size_t UserDataBytes(std::size_t characters, unsigned width) {
    return (13 + characters * width + 7) / 8;
}

std::vector<std::uint8_t> UserDataValue(std::u16string_view text, unsigned encoding,
                                        unsigned width) {
    BitWriter bits;
    bits.put(encoding, 5);
    bits.put(static_cast<unsigned>(text.size()), 8);
    for (char16_t c : text) {
        bits.put(c, width);
    }
    return bits.bytes();
}

} // namespace

std::optional<ShortMessage> ParseCdmaRecord(std::span<const std::uint8_t> record) {
    ShortMessage message;
    if (record.empty()) {
        return message;
    }
    message.status = record[0];
    if ((record[0] & kUsedRecord) == 0) {
        return message;
    }
    gsm::ByteReader in(record.subspan(1));
    gsm::ByteReader transport(in.take(in.byte()));
    transport.skip(1); // message type
    while (!transport.atEnd()) {
        const std::uint8_t id = transport.byte();
        const auto value = transport.take(transport.byte());
        if (id == kOriginatingAddress || id == kDestinationAddress) {
            message.address = ReadAddress(value);
        } else if (id == kBearerData && !ReadBearerData(value, message)) {
            return std::nullopt;
        }
    }
    return message;
}

std::optional<std::vector<std::uint8_t>> BuildCdmaRecord(const ShortMessage& message,
                                                         std::size_t recordLength) {
    if (message.address.empty() && message.text.empty()) {
        return std::vector<std::uint8_t>(recordLength, 0x00);
    }
    const bool received = message.status < kSmsSent;
    const auto address = AddressValue(message.address);

    // Everything but the characters of the text: status, length, message type, teleservice,
    // address, reply option, bearer data with message identifier, the user data's encoding
    // and count, and time stamp.
    const std::size_t emptyUserData = UserDataBytes(0, 0);
    const std::size_t fixed = 2 + 1 + 4 + (2 + address.size()) + (received ? 3 : 0) + 2 + 5 +
                              (2 + emptyUserData) + (2 + kTimeStampBytes);
    // Every length is one byte, so the message is built to fit 255 bytes whatever the record.
    const std::size_t capacity = std::min<std::size_t>(recordLength, 255);
    if (fixed > capacity) {
        // Cut anywhere in these, the record would read back as an error or as another
        // message; only the text may be cut.
        return std::nullopt;
    }
    // What the user data's value may take.
    const std::size_t room = capacity - fixed + emptyUserData;
    const bool ascii =
        std::all_of(message.text.begin(), message.text.end(), [](char16_t c) { return c < 0x80; });
    const unsigned width = ascii ? 7 : 16;
    std::size_t characters = std::min(message.text.size(), kMaxFields);
    while (characters > 0 && UserDataBytes(characters, width) > room) {
        --characters;
    }
    const std::u16string_view text = std::u16string_view(message.text).substr(0, characters);

    std::vector<std::uint8_t> bearer;
    AppendParameter(bearer, kMessageIdentifier,
                    {static_cast<std::uint8_t>((received ? kDeliverMessage : kSubmitMessage) << 4),
                     0x00, 0x00});
    AppendParameter(bearer, kUserData, UserDataValue(text, ascii ? kAscii7Bit : kUnicode, width));
    const MessageTime& t = message.time;
    AppendParameter(bearer, kTimeStamp,
                    {ToBcd(t.year), ToBcd(t.month), ToBcd(t.day), ToBcd(t.hour), ToBcd(t.minute),
                     ToBcd(t.second)});

    std::vector<std::uint8_t> transport{kPointToPoint};
    AppendParameter(transport, kTeleserviceId,
                    {static_cast<std::uint8_t>(kCellularMessaging >> 8),
                     static_cast<std::uint8_t>(kCellularMessaging & 0xFF)});
    AppendParameter(transport, received ? kOriginatingAddress : kDestinationAddress, address);
    if (received) {
        AppendParameter(transport, kBearerReplyOption, {kReplySequence});
    }
    AppendParameter(transport, kBearerData, bearer);

    std::vector<std::uint8_t> record{static_cast<std::uint8_t>(message.status),
                                     static_cast<std::uint8_t>(transport.size())};
    record.insert(record.end(), transport.begin(), transport.end());
    record.resize(recordLength, 0x00);
    return record;
}

} // namespace quenlib
