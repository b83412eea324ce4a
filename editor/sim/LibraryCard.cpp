#include "editor/sim/LibraryCard.h"

#include "editor/sim/CardText.h"
#include "editor/sim/ExportCalls.h"
#include "editor/sim/LibraryCalls.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <iterator>
#include <string>

namespace tarvik {
namespace {

// The library's record sizes, as the editor puts them in the size words.
constexpr std::uint32_t kFileInfoSizeWord = 68;
constexpr std::uint32_t kItemSize = sizeof(QL_ADN_ITEM);
static_assert(kItemSize == 1616);

// The record's text fields hold the platform's 16-bit unit (QL_CHAR16, which is wchar_t on
// Windows); the texts here are char16_t, so they cross as copies.
template <std::size_t size>
std::u16string FieldText(const QL_CHAR16 (&field)[size]) {
    std::array<char16_t, size> units{};
    std::copy(std::begin(field), std::end(field), units.begin());
    return std::u16string(TextUpToNul(units));
}

template <std::size_t size>
void StoreFieldText(std::u16string_view text, QL_CHAR16 (&field)[size]) {
    std::array<char16_t, size> units{};
    CopyWide64(text, units);
    std::copy(units.begin(), units.end(), std::begin(field));
}

QL_ADN_ITEM EmptyItem(int index) {
    QL_ADN_ITEM item{};
    item.size = kItemSize;
    item.index = static_cast<std::uint32_t>(index);
    return item;
}

} // namespace

void LibraryCard::connect() {
    if (connected_) {
        return;
    }
    if (!opened_) {
        if (calls_.open() != QL_OK) {
            return;
        }
        opened_ = true;
    }
    connected_ = calls_.connect() == QL_OK;
    adnRecordLength_ = 0;
    ext1Records_ = 0;
}

void LibraryCard::disconnect() {
    dropConnection();
    if (opened_) {
        calls_.close();
        opened_ = false;
    }
}

void LibraryCard::dropConnection() {
    if (connected_) {
        calls_.disconnect();
        connected_ = false;
    }
}

std::optional<bool> LibraryCard::pinEnabled() {
    std::uint32_t enabled = 0;
    std::uint32_t attemptsLeft = 0;
    if (calls_.pin1State(enabled, attemptsLeft) != QL_OK) {
        return std::nullopt;
    }
    return enabled != 0;
}

CardRefusal LibraryCard::lastRefusal() {
    QL_CARD_INFO info{};
    info.size = sizeof info;
    if (calls_.cardInfo(info) != QL_OK) {
        return CardRefusal::None;
    }
    return RefusalOf(static_cast<std::uint16_t>(info.lastRefusal));
}

bool LibraryCard::verifyPin(std::string_view pin) {
    return calls_.verifyPin1(pin) == QL_OK;
}

std::optional<PinFacts> LibraryCard::pinFacts() {
    QL_PIN_CONTEXT context{};
    if (calls_.pinContext(context) != QL_OK) {
        return std::nullopt;
    }
    return PinFacts{context.pin1Enabled != 0, static_cast<int>(context.pin1AttemptsLeft),
                    static_cast<int>(context.unblock1AttemptsLeft)};
}

std::optional<CardFacts> LibraryCard::cardFacts() {
    QL_CARD_INFO info{};
    info.size = sizeof info;
    if (calls_.cardInfo(info) != QL_OK) {
        return std::nullopt;
    }
    CardFacts facts;
    info.reader[sizeof info.reader - 1] = '\0';
    facts.reader = info.reader;
    facts.atr.assign(info.atr, info.atr + std::min<std::size_t>(info.atrLength, sizeof info.atr));
    facts.kind = static_cast<CardKind>(info.kind <= QL_CARD_UICC ? info.kind : QL_CARD_UNKNOWN);
    facts.place = static_cast<PhonebookPlace>(
        info.phonebook <= QL_PHONEBOOK_LOCAL ? info.phonebook : QL_PHONEBOOK_NONE);
    facts.adnFile = info.adnFileId;
    facts.ext1File = info.ext1FileId;
    facts.localPhonebookToo = info.localPhonebook != 0;
    return facts;
}

bool LibraryCard::hasShortMessages() {
    QL_COUNT_INFO info{};
    return calls_.selectShortMessages(info) == QL_OK;
}

bool LibraryCard::hasOwnNumbers() {
    QL_FILE_INFO info{};
    info.size = kFileInfoSizeWord;
    return calls_.selectOwnNumbers(info) == QL_OK;
}

bool LibraryCard::disablePin(std::string_view pin) {
    return calls_.disablePin1(pin) == QL_OK;
}

int LibraryCard::pinRemaining() {
    QL_PIN_CONTEXT context{};
    context.pin1AttemptsLeft = 0;
    if (calls_.pinContext(context) != QL_OK) {
        return 0;
    }
    return static_cast<int>(context.pin1AttemptsLeft);
}

CardAccess LibraryCard::access() {
    if (!connected_) {
        return CardAccess::NotFound;
    }
    const auto enabled = pinEnabled();
    if (!enabled) {
        switch (lastRefusal()) {
        case CardRefusal::PinNeeded:
            return CardAccess::NeedsPin;
        case CardRefusal::PinBlocked:
            return CardAccess::Blocked;
        case CardRefusal::None:
        case CardRefusal::Other:
            break;
        }
        return CardAccess::Ready;
    }
    if (!*enabled) {
        return CardAccess::Ready;
    }
    return pinRemaining() >= 1 ? CardAccess::NeedsPin : CardAccess::Blocked;
}

std::optional<SimItem> LibraryCard::readItem(int index) {
    QL_ADN_ITEM item = EmptyItem(index);
    if (calls_.readItem(item) != QL_OK) {
        return std::nullopt;
    }
    SimItem read;
    if (item.nameLength > 0 || item.numberLength > 0) {
        read.name = FieldText(item.name);
        read.number = FieldText(item.number);
    }
    return read;
}

std::optional<std::string> LibraryCard::readIccid() {
    char digits[QL_ICCID_SIZE] = {};
    if (calls_.iccid(digits, sizeof digits) != QL_OK) {
        return std::nullopt;
    }
    return std::string(digits);
}

std::optional<PhonebookGeometry> LibraryCard::selectPhonebook() {
    QL_FILE_INFO info{};
    info.size = kFileInfoSizeWord;
    if (calls_.selectPhonebook(info) != QL_OK) {
        return std::nullopt;
    }
    adnRecordLength_ = static_cast<int>(info.recordLength);
    PhonebookGeometry geometry;
    geometry.adnRecords = static_cast<int>(info.recordCount);
    geometry.adnRecordLength = adnRecordLength_;
    std::uint8_t* extensions = nullptr;
    std::uint32_t size = 0;
    if (calls_.extensionBuffer(extensions, size) == QL_OK) {
        geometry.ext1Records = static_cast<int>(size / kExt1RecordLength);
    }
    ext1Records_ = geometry.ext1Records;
    return geometry;
}

std::optional<RecordBytes> LibraryCard::readRecord(int index) {
    if (adnRecordLength_ <= 0) {
        return std::nullopt;
    }
    // The record, then the two status bytes.
    RecordBytes buffer(static_cast<std::size_t>(adnRecordLength_) + 2);
    if (calls_.readRecord(static_cast<std::uint32_t>(index), buffer.data()) != QL_OK) {
        return std::nullopt;
    }
    buffer.resize(static_cast<std::size_t>(adnRecordLength_));
    return buffer;
}

std::vector<RecordBytes> LibraryCard::extensionRecords() {
    std::uint8_t* extensions = nullptr;
    std::uint32_t size = 0;
    std::vector<RecordBytes> records;
    if (calls_.extensionBuffer(extensions, size) != QL_OK || extensions == nullptr) {
        return records;
    }
    for (std::uint32_t offset = 0; offset + kExt1RecordLength <= size;
         offset += kExt1RecordLength) {
        records.emplace_back(extensions + offset, extensions + offset + kExt1RecordLength);
    }
    return records;
}

bool LibraryCard::writeRecord(int index, std::span<const std::uint8_t> bytes) {
    if (static_cast<int>(bytes.size()) != adnRecordLength_) {
        return false;
    }
    return calls_.writeRecord(static_cast<std::uint32_t>(index), bytes.data()) == QL_OK;
}

bool LibraryCard::replaceExtensionRecords(std::span<const RecordBytes> records) {
    if (static_cast<int>(records.size()) > ext1Records_) {
        return false;
    }
    std::vector<std::uint8_t> bytes;
    for (const RecordBytes& record : records) {
        if (record.size() != static_cast<std::size_t>(kExt1RecordLength)) {
            return false;
        }
        bytes.insert(bytes.end(), record.begin(), record.end());
    }
    return bytes.empty() || calls_.replaceExtensions(
                                bytes.data(), static_cast<std::uint32_t>(bytes.size())) == QL_OK;
}

bool LibraryCard::writeItem(int index, std::u16string_view name, std::u16string_view number) {
    QL_ADN_ITEM item = EmptyItem(index);
    StoreFieldText(name, item.name);
    StoreFieldText(number, item.number);
    item.nameLength = 0;
    item.numberLength = 0;
    return calls_.writeItem(item) == QL_OK;
}

bool LibraryCard::flush() {
    return calls_.flush() == QL_OK;
}

LibraryCard& DefaultLibraryCard() {
    static ExportCalls exports;
    static LibraryCard card(exports);
    return card;
}

} // namespace tarvik
