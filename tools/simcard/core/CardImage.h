#pragma once

#include "tools/simcard/core/Bytes.h"
#include "tools/simcard/core/CardSettings.h"
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
inline constexpr std::uint16_t EfDir = 0x2F00;
inline constexpr std::uint16_t DfPhonebookId = 0x5F3A;
inline constexpr std::uint16_t EfPbr = 0x4F30;
// The files a phonebook's EF PBR names on the cards this program makes.
inline constexpr std::uint16_t EfPhonebookAdn = 0x4F3A;
inline constexpr std::uint16_t EfPhonebookExt1 = 0x4F4A;

// A directory by its place: a DF under the MF by its file identifier, a DF inside another
// one by the parent's identifier in the high 16 bits and its own in the low ones (DF
// Telecom/DF Phonebook is 7F105F3A). The ADF of the USIM takes 7FFF, the identifier that
// stands for the current application.
using DirectoryId = std::uint32_t;
inline constexpr DirectoryId AdfUsim = 0x7FFF;

constexpr DirectoryId Inside(DirectoryId parent, std::uint16_t child) {
    return parent << 16 | child;
}
constexpr bool IsNested(DirectoryId directory) {
    return directory > 0xFFFF;
}
// The directory holding `directory`; the MF for itself.
constexpr DirectoryId ParentOf(DirectoryId directory) {
    return IsNested(directory) ? directory >> 16 : MasterFile;
}
constexpr std::uint16_t FileIdOf(DirectoryId directory) {
    return static_cast<std::uint16_t>(directory & 0xFFFF);
}

inline constexpr DirectoryId DfGlobalPhonebook = Inside(DfTelecom, DfPhonebookId);
inline constexpr DirectoryId DfLocalPhonebook = Inside(AdfUsim, DfPhonebookId);

// The USIM's application identifier (ETSI TS 101 220 annex E: RID A000000087, application
// code 1002), then a country code and provider data.
inline const std::vector<std::uint8_t> UsimAid = {0xA0, 0x00, 0x00, 0x00, 0x87, 0x10,
                                                  0x02, 0xFF, 0x49, 0xFF, 0x05, 0x89};

// An elementary file by its directory and its own identifier.
struct FilePath {
    DirectoryId df = 0;
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

    // The DFs under the MF.
    const std::vector<std::uint16_t>& directories() const { return directories_; }
    // The DFs inside a DF or the ADF.
    const std::vector<DirectoryId>& nestedDirectories() const { return nested_; }
    bool hasDirectory(DirectoryId df) const;
    std::vector<std::uint16_t> filesIn(DirectoryId df) const;
    ElementaryFile* find(FilePath path);
    const ElementaryFile* find(FilePath path) const;
    const std::vector<Bytes>& records(FilePath path) const; // throws std::out_of_range

    // Shaping a card beyond its settings, as test harnesses do. A directory goes under the
    // MF, or inside its parent (declared before) when nested; a record file of `records`
    // records, each `freeRecord`, replaces any file at its path.
    void addDirectory(DirectoryId df);
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

    // A UICC answers class 00 commands, a GSM SIM class A0 ones.
    bool uicc() const { return uicc_; }
    void setUicc(bool uicc) { uicc_ = uicc; }
    // A UICC that also answers class A0 commands, as a GSM SIM.
    bool gsmClass() const { return gsmClass_; }
    void setGsmClass(bool answers) { gsmClass_ = answers; }
    // The AID of ADF USIM; empty while the card has no application.
    const Bytes& applicationId() const { return applicationId_; }
    void setApplication(Bytes aid);

    bool operator==(const CardImage&) const = default;

private:
    // DF `df` with an EF PBR naming its EF ADN and EF EXT1, shaped by the settings.
    void addPhonebook(DirectoryId df, const CardSettings& settings);

    std::vector<std::uint16_t> directories_;
    std::vector<DirectoryId> nested_;
    bool uicc_ = false;
    bool gsmClass_ = false;
    Bytes applicationId_;
    std::map<FilePath, ElementaryFile> files_;
    std::array<SecretCode, 2> chv_{};
    std::array<SecretCode, 2> unblock_{};
    bool chv1Enabled_ = true;
    bool caseCard_ = false;
    int caseSlots_ = 0;
    std::map<std::uint16_t, Bytes> caseRecords_;
};

} // namespace simcard
