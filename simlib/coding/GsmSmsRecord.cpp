#include "simlib/coding/GsmSmsRecord.h"

#include "simlib/coding/ByteReader.h"
#include "simlib/coding/GsmAlphabet.h"
#include "simlib/coding/NumberCoding.h"
#include "simlib/coding/TextCoding.h"

#include <algorithm>

namespace quenlib {

namespace {

// First octet of the TPDU.
constexpr std::uint8_t kMessageTypeMask = 0x03;
constexpr std::uint8_t kDeliver = 0x00;
constexpr std::uint8_t kSubmit = 0x01;
constexpr std::uint8_t kUserDataHeader = 0x40;
// The first octet the library writes for a sent message: SMS-SUBMIT with a relative
// validity period, status report requested.
constexpr std::uint8_t kSubmitFirstOctet = 0x31;
constexpr std::uint8_t kMessageReference = 0x04;
constexpr std::uint8_t kValidityPeriod = 0xFF;

// Data coding schemes written: the general data coding group without a class.
constexpr std::uint8_t kDcs7Bit = 0x00;
constexpr std::uint8_t kDcs8Bit = 0x04;
constexpr std::uint8_t kDcsUcs2 = 0x08;

// Type of number in bits 7 ... 5 of the type of address (3GPP TS 23.040, 9.1.2.5).
constexpr unsigned kTonInternational = 0x1;
constexpr unsigned kTonAlphanumeric = 0x5;
// The address value is at most 10 octets: 20 digits.
constexpr std::size_t kMaxAddressDigits = 20;

constexpr std::size_t kTimeStampBytes = 7;
// TP-UD holds at most 140 octets (3GPP TS 23.040, 9.2.3.16): 160 septets, 70 UCS2 characters.
constexpr std::size_t kMaxUserDataOctets = 140;
constexpr std::size_t kMaxUserDataSeptets = kMaxUserDataOctets * 8 / 7;

// The alphabet of a data coding scheme (3GPP TS 23.038, 4). A compressed text cannot be read
// and reads as no text, like an alphabet the general group reserves.
MessageCoding codingOf(std::uint8_t dcs) {
    const unsigned group = dcs >> 4;
    if (group <= 0x7) {
        // General data coding, with or without automatic deletion: bit 5 compression, bits 3
        // and 2 the alphabet.
        if ((dcs & 0x20) != 0) {
            return MessageCoding::None;
        }
        switch ((dcs >> 2) & 0x03) {
        case 0:
            return MessageCoding::SevenBit;
        case 1:
            return MessageCoding::EightBit;
        case 2:
            return MessageCoding::Ucs2;
        default:
            return MessageCoding::None;
        }
    }
    switch (group) {
    case 0xE: // message waiting indication, store message, UCS2
        return MessageCoding::Ucs2;
    case 0xF: // data coding and message class: bit 2 chooses 8-bit data
        return (dcs & 0x04) != 0 ? MessageCoding::EightBit : MessageCoding::SevenBit;
    default:
        // C and D: message waiting in the default alphabet. 8 to B are reserved, and a
        // receiver takes reserved codings as the default alphabet.
        return MessageCoding::SevenBit;
    }
}

// An address field (TP-OA, TP-DA): length in semi-octets, type of address, the value. An
// international number reads with a leading '+', an alphanumeric address as its 7-bit text.
std::u16string readAddress(ByteReader& in) {
    const std::size_t semiOctets = in.byte();
    const unsigned typeOfNumber = (in.byte() >> 4) & 0x07;
    const auto value = in.take((semiOctets + 1) / 2);
    if (typeOfNumber == kTonAlphanumeric) {
        return decodeGsmSeptets(unpackSeptets(value, semiOctets * 4 / 7));
    }
    std::u16string address = decodeDigits(value);
    // An odd count ends with a filler nibble; a record that holds a digit there still
    // gives no more digits than the length says.
    address.resize(std::min(address.size(), semiOctets));
    if (typeOfNumber == kTonInternational && !address.empty()) {
        address.insert(address.begin(), u'+');
    }
    return address;
}

// Swapped-nibble BCD: the tens digit in the low nibble.
unsigned swappedBcd(std::uint8_t byte) {
    return (byte & 0x0Fu) * 10 + (byte >> 4);
}

std::uint8_t toSwappedBcd(unsigned value) {
    value %= 100;
    return static_cast<std::uint8_t>((value % 10) << 4 | value / 10);
}

// TP-SCTS (3GPP TS 23.040, 9.2.3.11): year, month, day, hour, minute, second, time zone;
// the time zone is not kept.
MessageTime readTimeStamp(std::span<const std::uint8_t> bytes) {
    unsigned fields[6]{};
    for (std::size_t i = 0; i < std::min<std::size_t>(bytes.size(), 6); ++i) {
        fields[i] = swappedBcd(bytes[i]);
    }
    if (bytes.empty()) {
        return {};
    }
    const unsigned year = fields[0] >= 96 && fields[0] <= 99 ? 1900 + fields[0] : 2000 + fields[0];
    return {year, fields[1], fields[2], fields[3], fields[4], fields[5]};
}

// Two-digit years: 1996 ... 1999 as 96 ... 99, 2000 on as year - 2000; any other year as
// its last two digits, since a BCD byte holds no more.
unsigned twoDigitYear(unsigned year) {
    if (year >= 1996 && year <= 1999) {
        return year - 1900;
    }
    return (year >= 2000 ? year - 2000 : year) % 100;
}

void appendTimeStamp(std::vector<std::uint8_t>& record, const MessageTime& time) {
    for (unsigned value :
         {twoDigitYear(time.year), time.month, time.day, time.hour, time.minute, time.second}) {
        record.push_back(toSwappedBcd(value));
    }
    record.push_back(0x00); // time zone
}

// A number with a leading '+' is international and is stored without it; digits past the
// twentieth do not fit the field.
void appendAddress(std::vector<std::uint8_t>& record, std::u16string_view address) {
    const bool international = !address.empty() && address[0] == u'+';
    if (international) {
        address.remove_prefix(1);
    }
    address = address.substr(0, kMaxAddressDigits);
    record.push_back(static_cast<std::uint8_t>(address.size()));
    record.push_back(international ? kTonNpiInternational : kTonNpiUnknown);
    const auto digits = encodeDigits(address);
    record.insert(record.end(), digits.begin(), digits.end());
}

// The text of the user data. With a header (3GPP TS 23.040, 9.2.3.24) the text starts after
// it: 8-bit and UCS2 counts are bytes, so the header's bytes come off the count; 7-bit
// counts are septets, and the header takes ceil((UDHL + 1) * 8 / 7) of them, fill bits
// included, so that the text starts on a septet boundary.
std::u16string readText(std::span<const std::uint8_t> userData, std::size_t userDataLength,
                        bool hasHeader, MessageCoding coding) {
    const std::size_t headerBytes = hasHeader && !userData.empty() ? userData[0] + 1u : 0;
    switch (coding) {
    case MessageCoding::SevenBit: {
        const std::size_t headerSeptets = (headerBytes * 8 + 6) / 7;
        const std::size_t septets =
            userDataLength > headerSeptets ? userDataLength - headerSeptets : 0;
        return decodeGsmSeptets(unpackSeptets(userData, septets, headerSeptets));
    }
    case MessageCoding::EightBit:
    case MessageCoding::Ucs2: {
        const std::size_t start = std::min(headerBytes, userData.size());
        const std::size_t count = userDataLength > headerBytes ? userDataLength - headerBytes : 0;
        const auto bytes = userData.subspan(start, std::min(count, userData.size() - start));
        return coding == MessageCoding::EightBit ? decode8Bit(bytes) : decodeUcs2(bytes);
    }
    case MessageCoding::None:
        break;
    }
    return {};
}

// The septets of the longest start of `text` that fits `limit` septets; an escaped
// character is kept whole or not at all.
std::vector<std::uint8_t> septetsWithin(std::u16string_view text, std::size_t limit) {
    std::size_t characters = 0;
    std::size_t septets = 0;
    while (characters < text.size() && septets + gsmSeptetsFor(text[characters]) <= limit) {
        septets += gsmSeptetsFor(text[characters++]);
    }
    return encodeGsmSeptets(text.substr(0, characters)).value_or(std::vector<std::uint8_t>{});
}

} // namespace

TextForm selectMessageForm(std::u16string_view text) {
    const bool sevenBit = std::all_of(text.begin(), text.end(),
                                      [](char16_t c) { return c < 0x80 && gsmSeptetsFor(c) != 0; });
    if (sevenBit) {
        return TextForm::SevenBit;
    }
    return selectTextForm(text) == TextForm::Ucs2 ? TextForm::Ucs2 : TextForm::EightBit;
}

ShortMessage parseGsmRecord(std::span<const std::uint8_t> record) {
    ShortMessage message;
    // GSM 11.11, 10.5.3: bit 1 clear is a free record; an erased record is all FF.
    if (record.empty() || (record[0] & 0x01) == 0 || record[0] == 0xFF) {
        return message;
    }
    const std::uint8_t status = record[0];
    if (!isReceived(status) && !isSent(status) && status != kSmsToSend) {
        message.status = kSmsUnknown;
        return message;
    }
    message.status = isSent(status) ? kSmsSent : status;
    ByteReader in(record.subspan(1));
    in.skip(in.byte()); // service-centre address
    const std::uint8_t firstOctet = in.byte();
    std::uint8_t dcs = 0;
    switch (firstOctet & kMessageTypeMask) {
    case kDeliver:
        if (!isReceived(status)) {
            message.status = kSmsReceivedRead;
        }
        message.address = readAddress(in);
        in.skip(1); // protocol identifier
        dcs = in.byte();
        message.time = readTimeStamp(in.take(kTimeStampBytes));
        break;
    case kSubmit: {
        if (isReceived(status)) {
            message.status = kSmsToSend;
        }
        in.skip(1); // message reference
        message.address = readAddress(in);
        in.skip(1); // protocol identifier
        dcs = in.byte();
        // TP-VPF: 0 no validity period, 2 relative (one byte), 1 and 3 seven bytes.
        const unsigned validityFormat = (firstOctet >> 3) & 0x03;
        in.skip(validityFormat == 0 ? 0 : validityFormat == 2 ? 1 : 7);
        break;
    }
    default:
        // Status reports and commands carry no text.
        return message;
    }
    message.hasTpdu = true;
    const std::size_t userDataLength = in.byte();
    message.coding = codingOf(dcs);
    message.text =
        readText(in.rest(), userDataLength, (firstOctet & kUserDataHeader) != 0, message.coding);
    return message;
}

std::optional<std::vector<std::uint8_t>> buildGsmRecord(const ShortMessage& message,
                                                        std::size_t recordLength) {
    std::vector<std::uint8_t> record;
    const bool received = isReceived(message.status);
    const bool sent = isSent(message.status) || message.status == kSmsToSend;
    if ((message.address.empty() && message.text.empty()) || (!received && !sent)) {
        return std::vector<std::uint8_t>(recordLength, 0xFF);
    }
    // The SUBMIT asks for a status report, so a sent message waits for it (3GPP TS 31.102).
    record.push_back(static_cast<std::uint8_t>(message.status == kSmsSent ? kSmsSentReportAwaited
                                                                          : message.status));
    // A service-centre address with its type only: the phone fills in its own.
    record.push_back(0x01);
    record.push_back(kTonNpiUnknown);
    record.push_back(received ? kDeliver : kSubmitFirstOctet);
    if (sent) {
        record.push_back(kMessageReference);
    }
    appendAddress(record, message.address);
    record.push_back(0x00); // protocol identifier
    const TextForm form = selectMessageForm(message.text);
    record.push_back(form == TextForm::Ucs2       ? kDcsUcs2
                     : form == TextForm::EightBit ? kDcs8Bit
                                                  : kDcs7Bit);
    if (received) {
        appendTimeStamp(record, message.time);
    } else {
        record.push_back(kValidityPeriod);
    }

    if (recordLength < record.size() + 1) {
        return std::nullopt;
    }
    // The text is cut to what TP-UD holds, and to what the rest of the record holds after
    // TP-UDL.
    const std::size_t room = std::min(recordLength - record.size() - 1, kMaxUserDataOctets);
    const std::u16string_view text = message.text;
    std::size_t userDataLength = 0;
    std::vector<std::uint8_t> userData;
    switch (form) {
    case TextForm::SevenBit: {
        const auto septets = septetsWithin(text, std::min(room * 8 / 7, kMaxUserDataSeptets));
        userDataLength = septets.size();
        userData = packSeptets(septets);
        break;
    }
    case TextForm::EightBit:
        userData = encode8Bit(text.substr(0, room));
        userDataLength = userData.size();
        break;
    case TextForm::Ucs2:
        userData = encodeUcs2(text.substr(0, room / 2));
        userDataLength = userData.size();
        break;
    }
    record.push_back(static_cast<std::uint8_t>(userDataLength));
    record.insert(record.end(), userData.begin(), userData.end());
    record.resize(recordLength, 0xFF);
    return record;
}

} // namespace quenlib
