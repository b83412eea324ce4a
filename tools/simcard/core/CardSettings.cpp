#include "tools/simcard/core/CardSettings.h"

namespace simcard {

namespace {

// Record numbers travel in one byte (P1) and record lengths in one byte (P3).
std::optional<std::string> CheckFile(const char* name, int records, int length, int minLength) {
    if (records < 0 || records > 255)
        return std::string(name) + " record count must be 0 to 255";
    if (length < minLength || length > 255)
        return std::string(name) + " record length must be " + std::to_string(minLength) +
               " to 255";
    return std::nullopt;
}

std::optional<std::string> CheckCode(const char* name, const std::string& code) {
    if (code.size() > 8)
        return std::string(name) + " must be at most 8 characters";
    return std::nullopt;
}

} // namespace

std::vector<std::uint8_t> IccidBytes(const std::string& digits) {
    std::vector<std::uint8_t> bytes(10, 0xFF);
    for (std::size_t i = 0; i < digits.size() && i < 20; ++i) {
        const auto digit = static_cast<std::uint8_t>(digits[i] - '0');
        auto& byte = bytes[i / 2];
        byte = i % 2 == 0 ? static_cast<std::uint8_t>(0xF0 | digit)
                          : static_cast<std::uint8_t>((byte & 0x0F) | digit << 4);
    }
    return bytes;
}

std::optional<std::string> Validate(const CardSettings& s) {
    // A record of the ADN layout needs its 14-byte number block.
    if (auto error = CheckFile("ADN", s.adnRecords, s.adnRecordLength, 14))
        return error;
    if (s.ext1Records != -1)
        if (auto error = CheckFile("EXT1", s.ext1Records, s.ext1RecordLength, 1))
            return error;
    if (auto error = CheckFile("SMS", s.smsRecords, s.smsRecordLength, 1))
        return error;
    if (auto error = CheckFile("MSISDN", s.msisdnRecords, s.msisdnRecordLength, 14))
        return error;
    for (auto [name, code] : {std::pair{"PIN1", &s.pin1}, std::pair{"PUK1", &s.puk1},
                              std::pair{"PIN2", &s.pin2}, std::pair{"PUK2", &s.puk2}})
        if (auto error = CheckCode(name, *code))
            return error;
    if (s.iccid && (s.iccid->empty() || s.iccid->size() > 20 ||
                    s.iccid->find_first_not_of("0123456789") != std::string::npos))
        return "the ICCID must be 1 to 20 digits";
    if (s.caseSlots < 0 || s.caseSlots > MaxCaseSlots)
        return "case slots must be 0 to " + std::to_string(MaxCaseSlots);
    for (const auto& [number, record] : s.caseRecords) {
        if (record.size() != CaseRecordLength)
            return "case record " + std::to_string(number) + " must be 32 bytes";
        if (number >= MaxCaseSlots)
            return "case record numbers must be below " + std::to_string(MaxCaseSlots);
    }
    // A GSM SIM has no directories below DF Telecom and no application.
    if (!s.uicc && (s.phonebook != PhonebookLayout::Telecom || s.localPhonebook))
        return "a phonebook outside DF Telecom needs a UICC";
    if (!s.uicc && s.gsmClass)
        return "only a UICC answers class A0 beside class 00";
    return std::nullopt;
}

} // namespace simcard
