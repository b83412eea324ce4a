#pragma once

#include "tools/simcard/core/CardSettings.h"
#include "tools/simcard/core/Hex.h"
#include "tools/simcard/core/SecretCode.h"

#include <array>
#include <compare>
#include <cstdint>
#include <filesystem>
#include <map>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace simcard {

inline constexpr std::uint16_t MasterFile = 0x3F00;
inline constexpr std::uint16_t EfIccid = 0x2FE2;
inline constexpr std::uint16_t DfTelecom = 0x7F10;
inline constexpr std::uint16_t DfGsm = 0x7F20;
inline constexpr std::uint16_t DfCdma = 0x7F25;
inline constexpr std::uint16_t EfAdn = 0x6F3A;
inline constexpr std::uint16_t EfExt1 = 0x6F4A;
inline constexpr std::uint16_t EfSms = 0x6F3C;
inline constexpr std::uint16_t EfMsisdn = 0x6F40;

// An elementary file by its directory (the MF or a child of it) and its own identifier.
struct FilePath {
    std::uint16_t df = 0;
    std::uint16_t ef = 0;
    auto operator<=>(const FilePath&) const = default;
};

// A linear fixed elementary file with its records, or a transparent one with its body.
struct ElementaryFile {
    bool transparent = false;
    int recordLength = 0;
    std::vector<Bytes> records;
    Bytes body;
    bool operator==(const ElementaryFile&) const = default;
};

class ImageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Everything a card keeps across power cycles: its files with their records and its secret
// codes with their counters. Stored as text, one statement a line (see README.md).
class CardImage {
public:
    static CardImage create(const CardSettings& settings);
    static CardImage parse(std::string_view text);            // throws ImageError
    static CardImage load(const std::filesystem::path& path); // throws ImageError
    std::string serialise() const;
    // Writes a temporary file beside `path` and renames it over `path`. Throws ImageError.
    void save(const std::filesystem::path& path) const;

    const std::vector<std::uint16_t>& directories() const { return directories_; }
    bool hasDirectory(std::uint16_t df) const;
    std::vector<std::uint16_t> filesIn(std::uint16_t df) const;
    ElementaryFile* find(FilePath path);
    const ElementaryFile* find(FilePath path) const;
    const std::vector<Bytes>& records(FilePath path) const; // throws std::out_of_range

    // Shaping a card beyond its settings, as test harnesses do. A directory goes under the
    // MF; a record file of `records` records, each `freeRecord`, replaces any file at its
    // path.
    void addDirectory(std::uint16_t df);
    ElementaryFile& addRecordFile(FilePath path, int records, int recordLength,
                                  const Bytes& freeRecord);
    void removeFile(FilePath path);

    // number 1 or 2
    SecretCode& chv(int number) { return chv_.at(number - 1); }
    const SecretCode& chv(int number) const { return chv_.at(number - 1); }
    SecretCode& unblockCode(int number) { return unblock_.at(number - 1); }
    const SecretCode& unblockCode(int number) const { return unblock_.at(number - 1); }
    bool chv1Enabled() const { return chv1Enabled_; }
    void setChv1Enabled(bool enabled) { chv1Enabled_ = enabled; }

    // The contact-case application: whether the card has it, its number of case records
    // and the used ones (free records are all FF).
    bool caseCard() const { return caseCard_; }
    int caseSlots() const { return caseSlots_; }
    const std::map<std::uint16_t, Bytes>& caseRecords() const { return caseRecords_; }
    // Record `number` (below caseSlots()); all FF frees it.
    Bytes caseRecord(std::uint16_t number) const;
    void setCaseRecord(std::uint16_t number, const Bytes& record);

    bool operator==(const CardImage&) const = default;

private:
    std::vector<std::uint16_t> directories_;
    std::map<FilePath, ElementaryFile> files_;
    std::array<SecretCode, 2> chv_{};
    std::array<SecretCode, 2> unblock_{};
    bool chv1Enabled_ = true;
    bool caseCard_ = false;
    int caseSlots_ = 0;
    std::map<std::uint16_t, Bytes> caseRecords_;
};

} // namespace simcard
