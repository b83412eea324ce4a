#pragma once

#include "gsm/ByteReader.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace gsm {

// The fields that SMS-DELIVER, SMS-SUBMIT and SMS-STATUS-REPORT share (3GPP TS 23.040 §9.1.2,
// §9.2.3): addresses, time stamps, the data coding scheme and the user data.

// A date and time as TP-SCTS holds it; the time zone is not kept.
struct TimeStamp {
    unsigned year = 0; // four digits
    unsigned month = 0;
    unsigned day = 0;
    unsigned hour = 0;
    unsigned minute = 0;
    unsigned second = 0;

    bool operator==(const TimeStamp&) const = default;
};

// The alphabet of a text; None for a compressed or reserved one, which cannot be read.
enum class Alphabet { SevenBit, EightBit, Ucs2, None };

// Where a message stands in a concatenated one (§9.2.3.24.1, §9.2.3.24.8).
struct MessagePart {
    int reference = 0; // the same in every part of one message from one sender
    int total = 0;     // parts in all, from 1
    int sequence = 0;  // this part's place, from 1
    bool operator==(const MessagePart&) const = default;
};

// The octets TP-SCTS and TP-DT take.
inline constexpr std::size_t kTimeStampOctets = 7;
// TP-UD holds at most 140 octets: 160 septets, 70 UCS2 characters.
inline constexpr std::size_t kMaxUserDataOctets = 140;
inline constexpr std::size_t kMaxUserDataSeptets = kMaxUserDataOctets * 8 / 7;
// An address value holds at most 10 octets: 20 digits.
inline constexpr std::size_t kMaxAddressDigits = 20;

// The alphabet a data coding scheme names (3GPP TS 23.038 §4).
Alphabet AlphabetOf(std::uint8_t dataCoding);
// The data coding scheme of the general group without a message class: 00, 04 or 08.
std::uint8_t DataCodingOf(Alphabet alphabet);

// Reads an address field: length in semi-octets, type of address, the value. An international
// number reads with a leading '+', an alphanumeric address as its 7-bit text.
std::u16string ReadAddress(ByteReader& in);
// Appends an address field; a leading '+' makes the number international and digits past the
// twentieth are left out.
void AppendAddress(std::vector<std::uint8_t>& out, std::u16string_view number);

// Reads TP-SCTS (swapped-nibble BCD); years 96 ... 99 are 1996 ... 1999, the others 2000 on.
TimeStamp ReadTimeStamp(std::span<const std::uint8_t> bytes);
// Appends TP-SCTS with time zone 0; a year is kept to its last two digits.
void AppendTimeStamp(std::vector<std::uint8_t>& out, const TimeStamp& time);

// The concatenation element of a user-data header (UDHL first), if it has a valid one: a part
// number of 0 or above the total makes the element void.
std::optional<MessagePart> ConcatenationIn(std::span<const std::uint8_t> header);

// The text of user data whose TP-UDL is `userDataLength`. With a header the text starts after
// it: on a septet boundary for 7-bit (fill bits skipped), after UDHL + 1 bytes otherwise.
std::u16string ReadUserText(std::span<const std::uint8_t> userData, std::size_t userDataLength,
                            bool hasHeader, Alphabet alphabet);

// The septets of the longest start of `text` that fits `limit` septets; a character of the
// extension table is kept whole or not at all. Characters the alphabet lacks end the start.
std::vector<std::uint8_t> SeptetsWithin(std::u16string_view text, std::size_t limit);

// Appends TP-UDL and TP-UD of `text` in `alphabet` (SevenBit, EightBit or Ucs2), cut to what
// `maxOctets` (at most 140) hold.
void AppendUserText(std::vector<std::uint8_t>& out, std::u16string_view text, Alphabet alphabet,
                    std::size_t maxOctets = kMaxUserDataOctets);
// Appends TP-UDL and TP-UD of a user-data header (UDHL first, or empty) and septets after
// it, the header padded with fill bits to a septet boundary.
void AppendSeptetUserData(std::vector<std::uint8_t>& out, std::span<const std::uint8_t> header,
                          std::span<const std::uint8_t> septets);
// Appends TP-UDL and TP-UD of a user-data header (or empty) and octets after it.
void AppendOctetUserData(std::vector<std::uint8_t>& out, std::span<const std::uint8_t> header,
                         std::span<const std::uint8_t> octets);

} // namespace gsm
