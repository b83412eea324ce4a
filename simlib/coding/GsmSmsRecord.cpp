#include "simlib/coding/GsmSmsRecord.h"

#include "simlib/coding/ByteReader.h"
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

// Data coding scheme: bits 3 and 4 give the alphabet.
constexpr std::uint8_t kDcs7Bit = 0x00;
constexpr std::uint8_t kDcs8Bit = 0x04;
constexpr std::uint8_t kDcsUcs2 = 0x08;

constexpr std::size_t kTimeStampBytes = 7;
constexpr std::size_t kMaxUserDataLength = 255;

MessageCoding codingOf(std::uint8_t dcs) {
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

// An address field (TP-OA, TP-DA): length in digits, type of address, the digits.
std::u16string readAddress(ByteReader& in) {
    const std::size_t digits = in.byte();
    in.skip(1); // type of address
    std::u16string address = decodeDigits(in.take((digits + 1) / 2));
    // An odd count ends with a filler nibble; a record that holds a digit there still
    // gives no more digits than the length says.
    address.resize(std::min(address.size(), digits));
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

void appendAddress(std::vector<std::uint8_t>& record, std::u16string_view address) {
    address = address.substr(0, 255); // the length byte counts the digits
    record.push_back(static_cast<std::uint8_t>(address.size()));
    record.push_back(kTonNpiUnknown);
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
        return unpack7Bit(userData, septets, headerSeptets);
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

} // namespace

ShortMessage parseGsmRecord(std::span<const std::uint8_t> record) {
    ShortMessage message;
    if (record.empty() || record[0] == 0x00 || record[0] == 0xFF) {
        return message;
    }
    const std::uint8_t status = record[0];
    if (status != kSmsReceivedRead && status != kSmsReceivedUnread && status != kSmsSent &&
        status != kSmsToSend) {
        message.status = kSmsUnknown;
        return message;
    }
    message.status = status;
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

std::vector<std::uint8_t> buildGsmRecord(const ShortMessage& message, std::size_t recordLength) {
    std::vector<std::uint8_t> record;
    const bool received = isReceived(message.status);
    const bool sent = message.status == kSmsSent || message.status == kSmsToSend;
    if ((message.address.empty() && message.text.empty()) || (!received && !sent)) {
        return std::vector<std::uint8_t>(recordLength, 0xFF);
    }
    record.push_back(static_cast<std::uint8_t>(message.status));
    // A service-centre address with its type only: the phone fills in its own.
    record.push_back(0x01);
    record.push_back(kTonNpiUnknown);
    record.push_back(received ? kDeliver : kSubmitFirstOctet);
    if (sent) {
        record.push_back(kMessageReference);
    }
    appendAddress(record, message.address);
    record.push_back(0x00); // protocol identifier
    const TextForm form = selectTextForm(message.text);
    record.push_back(form == TextForm::Ucs2       ? kDcsUcs2
                     : form == TextForm::EightBit ? kDcs8Bit
                                                  : kDcs7Bit);
    if (received) {
        appendTimeStamp(record, message.time);
    } else {
        record.push_back(kValidityPeriod);
    }

    // The text is cut to what the rest of the record holds after TP-UDL, and to what a
    // one-byte TP-UDL can count.
    const std::size_t room =
        recordLength > record.size() + 1 ? recordLength - record.size() - 1 : 0;
    std::size_t characters = message.text.size();
    switch (form) {
    case TextForm::SevenBit:
        characters = std::min({characters, room * 8 / 7, kMaxUserDataLength});
        break;
    case TextForm::EightBit:
        characters = std::min({characters, room, kMaxUserDataLength});
        break;
    case TextForm::Ucs2:
        characters = std::min({characters, room / 2, kMaxUserDataLength / 2});
        break;
    }
    const std::u16string_view text = std::u16string_view(message.text).substr(0, characters);
    const auto userData = form == TextForm::SevenBit   ? pack7Bit(text)
                          : form == TextForm::EightBit ? encode8Bit(text)
                                                       : encodeUcs2(text);
    record.push_back(
        static_cast<std::uint8_t>(form == TextForm::Ucs2 ? 2 * characters : characters));
    record.insert(record.end(), userData.begin(), userData.end());
    record.resize(recordLength, 0xFF);
    return record;
}

} // namespace quenlib
