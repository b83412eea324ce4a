#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace simcard {

// Where a UICC keeps the phonebook the devices read (EF ADN with its EF EXT1).
enum class PhonebookLayout {
    Telecom, // EF ADN 6F3A and EF EXT1 6F4A directly in DF Telecom, as on a GSM SIM
    Global,  // DF Telecom/DF Phonebook 5F3A, found through its EF PBR 4F30
    Local,   // ADF USIM/DF Phonebook 5F3A, found through its EF PBR 4F30
};

// What a new card image is made of: the file geometry and the secret codes.
struct CardSettings {
    int adnRecords = 250;
    int adnRecordLength = 28;
    int ext1Records = 10; // -1: the card has no EF EXT1 at all
    int ext1RecordLength = 13;
    int smsRecords = 10;
    int smsRecordLength = 176;
    int msisdnRecords = 2;
    int msisdnRecordLength = 28;
    bool cdmaDirectory = false;
    std::string pin1 = "1234";
    std::string puk1 = "12345678";
    std::string pin2 = "5678";
    std::string puk2 = "87654321";
    bool pin1Enabled = true;
    // The ICCID's digits (1 to 20), stored in EF ICCID; nothing: the card has no EF ICCID.
    std::optional<std::string> iccid = "8949000000000000017";
    // The contact-case application: `caseSlots` case records of 32 bytes, numbered from 0,
    // the used ones in `caseRecords` and the free ones all FF. A card given case records
    // has the application even without `caseCard`, with at least enough slots for them.
    bool caseCard = false;
    int caseSlots = 10;
    std::map<std::uint16_t, std::vector<std::uint8_t>> caseRecords;
    // A UICC with a USIM application instead of a GSM SIM: class 00 commands only, file
    // control parameters, EF DIR and ADF USIM, PINs by key reference.
    bool uicc = false;
    PhonebookLayout phonebook = PhonebookLayout::Telecom;
    // A UICC also holds a USIM phonebook in ADF USIM besides the one of `phonebook`.
    bool localPhonebook = false;
    // A UICC that also answers class A0 as a GSM SIM does (its 2G view), over the same
    // files and codes.
    bool gsmClass = false;
};

// The records of EF SMS in the CDMA directory (3GPP2 C.S0023): 255 bytes, whatever the
// length of the GSM ones.
inline constexpr int CdmaSmsRecordLength = 255;

inline constexpr std::size_t CaseRecordLength = 32;
// Case numbers travel in P1 and P2, the count in two bytes.
inline constexpr int MaxCaseSlots = 0xFFFF;

// EF ICCID's 10 bytes for the digits (GSM 11.11 10.1.1): two digits a byte, low nibble
// first, F after the last digit.
std::vector<std::uint8_t> IccidBytes(const std::string& digits);

// A message naming the first value a card cannot hold, or nullopt when all are valid.
std::optional<std::string> Validate(const CardSettings& settings);

} // namespace simcard
