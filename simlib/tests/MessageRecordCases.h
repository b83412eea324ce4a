#pragma once

// GSM short message records worked out by hand, one table per rule, shared by the tests of
// the record coding and the tests through a card. Bytes are hex words.

#include <cstdint>
#include <string>

namespace quenlib::message_cases {

// The record the library writes for a sent message (status 5) to 5551234, up to the data
// coding scheme: status 0D (a status report is asked for), an empty service-centre address
// 01 81, SMS-SUBMIT with a relative validity period and status report request (31), message
// reference 04, the address 07 81 55 15 32 F4, protocol identifier 00.
inline const std::string kSubmitTo5551234 = "0D 01 81 31 04 07 81 55 15 32 F4 00 ";

// A record as a phone stores a received message from 1234, up to the data coding scheme; the
// time stamp 2012-03-11 14:59:04 (+8 quarters) follows it.
inline const std::string kDeliverFrom1234 = "01 00 00 04 81 21 43 00 ";
inline const std::string kTimeStamp = "21 30 11 41 95 40 80 ";

// 3GPP TS 23.038, 6.2.1 and 6.1.2.1.1: characters of the default alphabet and its extension
// table as their septets, packed. Texts with a character the alphabet lacks, or with one
// from 0080 on, take the 8-bit coding (data coding scheme 04), or UCS2 (08) from 0100 on.
struct AlphabetCase {
    std::u16string text;
    std::string dcsToUserData; // data coding scheme, validity period FF, TP-UDL, TP-UD
};
inline const AlphabetCase kAlphabetCases[] = {
    // $ 5 space @ h o m e space ESC-< A ESC-> : 02 35 20 00 68 6F 6D 65 20 1B 3C 41 1B 3E,
    // 14 septets in 13 octets.
    {u"$5 @home [A]", "00 FF 0E 82 1A 08 80 7E B7 CB A0 0D 2F B8 F1 01"},
    // a _ b: 61 11 62.
    {u"a_b", "00 FF 03 E1 88 18"},
    // The vertical bar is ESC 40: 61 1B 40 62 for "a|b".
    {u"a|b", "00 FF 04 E1 0D 50 0C"},
    // Line feed and carriage return are in the default table: 0A 0D.
    {u"\n\r", "00 FF 02 8A 06"},
    // The grave accent and the tab have no septet.
    {u"a`b", "04 FF 03 61 60 62"},
    {u"1\t2", "04 FF 03 31 09 32"},
    // Characters from 0080 on stay 8-bit even where the default alphabet holds them.
    {u"\u00E9t\u00E9", "04 FF 03 E9 74 E9"},
    {u"\u20AC5", "08 FF 04 20 AC 00 35"},
};

// 3GPP TS 23.038, 4: the alphabet of each coding group. A message from 1234 whose user data
// reads as `text` in the alphabet the data coding scheme chooses.
struct CodingGroupCase {
    const char* dcs;
    std::string userData; // TP-UDL, TP-UD
    std::u16string text;
};
inline const std::string kOkIn7Bit = "02 CF 25";
inline const std::string kOkIn8Bit = "02 4F 4B";
inline const std::string kZheAInUcs2 = "04 04 16 00 41";
inline const CodingGroupCase kCodingGroupCases[] = {
    {"00", kOkIn7Bit, u"OK"},
    {"11", kOkIn7Bit, u"OK"}, // class 1, general data coding
    {"04", kOkIn8Bit, u"OK"},
    {"08", kZheAInUcs2, u"\u0416A"},
    {"0C", kOkIn7Bit, u""}, // the reserved alphabet of the general group
    {"20", kOkIn7Bit, u""}, // compressed: not decoded
    {"2C", kOkIn8Bit, u""},
    {"40", kOkIn7Bit, u"OK"}, // automatic deletion
    {"44", kOkIn8Bit, u"OK"},
    {"48", kZheAInUcs2, u"\u0416A"},
    {"60", kOkIn7Bit, u""},
    {"84", kOkIn7Bit, u"OK"}, // reserved groups read as the default alphabet
    {"BF", kOkIn7Bit, u"OK"},
    {"C8", kOkIn7Bit, u"OK"},        // message waiting, discard
    {"D0", kOkIn7Bit, u"OK"},        // message waiting, store
    {"E0", kZheAInUcs2, u"\u0416A"}, // message waiting, store, UCS2
    {"F0", kOkIn7Bit, u"OK"},        // data coding, message class: bit 2 chooses 8-bit
    {"F4", kOkIn8Bit, u"OK"},
    {"F6", kOkIn8Bit, u"OK"},
};

// 3GPP TS 23.040, 9.1.2.5: address fields (length in semi-octets, type of address, value)
// and the address they stand for. `written` is what a write of that address stores, empty
// for fields the library only reads.
struct AddressCase {
    std::string field;
    std::u16string address;
    std::u16string written;
};
inline const AddressCase kAddressCases[] = {
    {"07 81 55 15 32 F4", u"5551234", u"5551234"},
    // Type of number 001, international: a leading '+'.
    {"0C 91 93 33 21 43 65 87", u"+393312345678", u"+393312345678"},
    // 24 digits do not fit: the field holds 20.
    {"14 81 21 43 65 87 09 21 43 65 87 09", u"12345678901234567890", u"123456789012345678901234"},
    // Type of number 101, alphanumeric: "Tel$" as the septets 54 65 6C 02, 28 bits in seven
    // semi-octets.
    {"07 D0 D4 32 5B 00", u"Tel$", u""},
    // "Alarm", 35 bits: nine semi-octets.
    {"09 D0 41 76 58 DE 06", u"Alarm", u""},
    // An international type without digits is no number.
    {"00 91", u"", u""},
};

// GSM 11.11, 10.5.3, with the sent states of 3GPP TS 31.102: record status bytes and the
// status the item reports. Sent statuses head an SMS-SUBMIT, received ones an SMS-DELIVER;
// free and unknown records read without text.
struct StatusCase {
    const char* status;
    std::uint32_t itemStatus;
    bool hasText;
};
inline const StatusCase kStatusCases[] = {
    {"01", 1, true},  {"03", 3, true},       {"05", 5, true},       {"0D", 5, true},
    {"15", 5, true},  {"1D", 5, true},       {"07", 7, true},       {"00", 0, false},
    {"02", 0, false}, {"04", 0, false},      {"0C", 0, false},      {"FE", 0, false},
    {"FF", 0, false}, {"09", 0xFFFF, false}, {"21", 0xFFFF, false}, {"0F", 0xFFFF, false},
};

// 3GPP TS 23.040, 9.2.3.16: TP-UD holds at most 140 octets, whatever the record holds. Texts
// written as a sent message to 5551234 in a 176-byte record, their coding, TP-UDL and the
// characters kept.
struct LimitCase {
    std::u16string text;
    const char* dcs;
    std::uint8_t userDataLength;
    std::size_t kept;
};
inline const LimitCase kLimitCases[] = {
    {std::u16string(200, u'a'), "00", 160, 160},
    // An escaped character that would make 161 septets is left out whole.
    {std::u16string(159, u'a') + u"[", "00", 159, 159},
    {std::u16string(158, u'a') + u"[", "00", 160, 159},
    {std::u16string(200, u'\u00E9'), "04", 140, 140},
    {std::u16string(100, u'\u0416'), "08", 140, 70},
};

} // namespace quenlib::message_cases
