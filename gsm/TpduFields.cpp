#include "gsm/TpduFields.h"

#include "gsm/GsmAlphabet.h"
#include "gsm/NumberCoding.h"
#include "gsm/TextCoding.h"

#include <algorithm>

namespace gsm {

namespace {

// Type of number in bits 6 ... 4 of the type of address (3GPP TS 23.040 §9.1.2.5).
constexpr unsigned kTonInternational = 0x1;
constexpr unsigned kTonAlphanumeric = 0x5;

constexpr std::uint8_t kDcs7Bit = 0x00;
constexpr std::uint8_t kDcs8Bit = 0x04;
constexpr std::uint8_t kDcsUcs2 = 0x08;

constexpr std::uint8_t kIeiConcat8 = 0x00;
constexpr std::uint8_t kIeiConcat16 = 0x08;

// Swapped-nibble BCD: the tens digit in the low nibble.
unsigned SwappedBcd(std::uint8_t byte) {
    return (byte & 0x0Fu) * 10 + (byte >> 4);
}

std::uint8_t ToSwappedBcd(unsigned value) {
    value %= 100;
    return static_cast<std::uint8_t>((value % 10) << 4 | value / 10);
}

// Two-digit years: 1996 ... 1999 as 96 ... 99, 2000 on as year - 2000; any other year as
// its last two digits, since a BCD byte holds no more.
unsigned TwoDigitYear(unsigned year) {
    if (year >= 1996 && year <= 1999) {
        return year - 1900;
    }
    return (year >= 2000 ? year - 2000 : year) % 100;
}

// The septets a user-data header of `headerBytes` takes, fill bits included.
std::size_t HeaderSeptets(std::size_t headerBytes) {
    return (headerBytes * 8 + 6) / 7;
}

} // namespace

Alphabet AlphabetOf(std::uint8_t dataCoding) {
    const unsigned group = dataCoding >> 4;
    if (group <= 0x7) {
        // General data coding, with or without automatic deletion: bit 5 compression, bits 3
        // and 2 the alphabet.
        if ((dataCoding & 0x20) != 0) {
            return Alphabet::None;
        }
        switch ((dataCoding >> 2) & 0x03) {
        case 0:
            return Alphabet::SevenBit;
        case 1:
            return Alphabet::EightBit;
        case 2:
            return Alphabet::Ucs2;
        default:
            return Alphabet::None;
        }
    }
    switch (group) {
    case 0xE: // message waiting indication, store message, UCS2
        return Alphabet::Ucs2;
    case 0xF: // data coding and message class: bit 2 chooses 8-bit data
        return (dataCoding & 0x04) != 0 ? Alphabet::EightBit : Alphabet::SevenBit;
    default:
        // C and D: message waiting in the default alphabet. 8 to B are reserved, and a
        // receiver takes reserved codings as the default alphabet.
        return Alphabet::SevenBit;
    }
}

std::uint8_t DataCodingOf(Alphabet alphabet) {
    switch (alphabet) {
    case Alphabet::EightBit:
        return kDcs8Bit;
    case Alphabet::Ucs2:
        return kDcsUcs2;
    case Alphabet::SevenBit:
    case Alphabet::None:
        break;
    }
    return kDcs7Bit;
}

std::u16string ReadAddress(ByteReader& in) {
    const std::size_t semiOctets = in.byte();
    const unsigned typeOfNumber = (in.byte() >> 4) & 0x07;
    const auto value = in.take((semiOctets + 1) / 2);
    if (typeOfNumber == kTonAlphanumeric) {
        return DecodeSeptets(UnpackSeptets(value, semiOctets * 4 / 7));
    }
    std::u16string address = DecodeDigits(value);
    // An odd count ends with a filler nibble; a field that holds a digit there still gives
    // no more digits than the length says.
    address.resize(std::min(address.size(), semiOctets));
    if (typeOfNumber == kTonInternational && !address.empty()) {
        address.insert(address.begin(), u'+');
    }
    return address;
}

void AppendAddress(std::vector<std::uint8_t>& out, std::u16string_view number) {
    const bool international = !number.empty() && number[0] == u'+';
    if (international) {
        number.remove_prefix(1);
    }
    number = number.substr(0, kMaxAddressDigits);
    out.push_back(static_cast<std::uint8_t>(number.size()));
    out.push_back(international ? kTonNpiInternational : kTonNpiUnknown);
    const auto digits = EncodeDigits(number);
    out.insert(out.end(), digits.begin(), digits.end());
}

TimeStamp ReadTimeStamp(std::span<const std::uint8_t> bytes) {
    if (bytes.empty()) {
        return {};
    }
    unsigned fields[6]{};
    for (std::size_t i = 0; i < std::min<std::size_t>(bytes.size(), 6); ++i) {
        fields[i] = SwappedBcd(bytes[i]);
    }
    const unsigned year = fields[0] >= 96 && fields[0] <= 99 ? 1900 + fields[0] : 2000 + fields[0];
    return {year, fields[1], fields[2], fields[3], fields[4], fields[5]};
}

void AppendTimeStamp(std::vector<std::uint8_t>& out, const TimeStamp& time) {
    for (const unsigned value :
         {TwoDigitYear(time.year), time.month, time.day, time.hour, time.minute, time.second}) {
        out.push_back(ToSwappedBcd(value));
    }
    out.push_back(0x00); // time zone
}

std::optional<MessagePart> ConcatenationIn(std::span<const std::uint8_t> header) {
    if (header.empty() || header[0] + 1u > header.size()) {
        return std::nullopt;
    }
    header = header.subspan(1, header[0]);
    std::optional<MessagePart> part;
    while (header.size() >= 2) {
        const std::uint8_t iei = header[0];
        const std::size_t length = header[1];
        if (length + 2 > header.size()) {
            break;
        }
        const auto data = header.subspan(2, length);
        MessagePart found;
        bool concat = false;
        if (iei == kIeiConcat8 && length == 3) {
            found = {data[0], data[1], data[2]};
            concat = true;
        } else if (iei == kIeiConcat16 && length == 4) {
            found = {data[0] << 8 | data[1], data[2], data[3]};
            concat = true;
        }
        if (concat && found.total > 0 && found.sequence > 0 && found.sequence <= found.total) {
            part = found;
        }
        header = header.subspan(length + 2);
    }
    return part;
}

std::u16string ReadUserText(std::span<const std::uint8_t> userData, std::size_t userDataLength,
                            bool hasHeader, Alphabet alphabet) {
    const std::size_t headerBytes = hasHeader && !userData.empty() ? userData[0] + 1u : 0;
    switch (alphabet) {
    case Alphabet::SevenBit: {
        // 7-bit counts are septets, and the header takes whole septets.
        const std::size_t headerSeptets = HeaderSeptets(headerBytes);
        const std::size_t septets =
            userDataLength > headerSeptets ? userDataLength - headerSeptets : 0;
        return DecodeSeptets(UnpackSeptets(userData, septets, headerSeptets));
    }
    case Alphabet::EightBit:
    case Alphabet::Ucs2: {
        // 8-bit and UCS2 counts are bytes, so the header's bytes come off the count.
        const std::size_t start = std::min(headerBytes, userData.size());
        const std::size_t count = userDataLength > headerBytes ? userDataLength - headerBytes : 0;
        const auto bytes = userData.subspan(start, std::min(count, userData.size() - start));
        return alphabet == Alphabet::EightBit ? Decode8Bit(bytes) : DecodeUcs2(bytes);
    }
    case Alphabet::None:
        break;
    }
    return {};
}

std::vector<std::uint8_t> SeptetsWithin(std::u16string_view text, std::size_t limit) {
    std::size_t characters = 0;
    std::size_t septets = 0;
    while (characters < text.size()) {
        const unsigned width = SeptetsFor(text[characters]);
        if (width == 0 || septets + width > limit) {
            break;
        }
        septets += width;
        ++characters;
    }
    return EncodeSeptets(text.substr(0, characters)).value_or(std::vector<std::uint8_t>{});
}

void AppendUserText(std::vector<std::uint8_t>& out, std::u16string_view text, Alphabet alphabet,
                    std::size_t maxOctets) {
    maxOctets = std::min(maxOctets, kMaxUserDataOctets);
    switch (alphabet) {
    case Alphabet::SevenBit:
        AppendSeptetUserData(out, {}, SeptetsWithin(text, maxOctets * 8 / 7));
        return;
    case Alphabet::EightBit:
        AppendOctetUserData(out, {}, Encode8Bit(text.substr(0, maxOctets)));
        return;
    case Alphabet::Ucs2:
        AppendOctetUserData(out, {}, EncodeUcs2(text.substr(0, maxOctets / 2)));
        return;
    case Alphabet::None:
        break;
    }
    out.push_back(0);
}

void AppendSeptetUserData(std::vector<std::uint8_t>& out, std::span<const std::uint8_t> header,
                          std::span<const std::uint8_t> septets) {
    std::vector<std::uint8_t> all(HeaderSeptets(header.size()), 0);
    all.insert(all.end(), septets.begin(), septets.end());
    auto packed = PackSeptets(all);
    // The header's bytes stand first, its fill bits after them zero.
    std::copy(header.begin(), header.end(), packed.begin());
    out.push_back(static_cast<std::uint8_t>(all.size()));
    out.insert(out.end(), packed.begin(), packed.end());
}

void AppendOctetUserData(std::vector<std::uint8_t>& out, std::span<const std::uint8_t> header,
                         std::span<const std::uint8_t> octets) {
    out.push_back(static_cast<std::uint8_t>(header.size() + octets.size()));
    out.insert(out.end(), header.begin(), header.end());
    out.insert(out.end(), octets.begin(), octets.end());
}

} // namespace gsm
