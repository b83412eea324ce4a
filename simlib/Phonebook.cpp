#include "simlib/Phonebook.h"

#include "simlib/CardCommands.h"
#include "gsm/Ext1Chain.h"
#include "simlib/ItemText.h"
#include "simlib/LibraryState.h"
#include "simlib/PhonebookLocation.h"
#include "gsm/AlphaCoding.h"
#include "gsm/NumberCoding.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace quenlib {

namespace {

// An ADN record ends with the 14-byte number block; the alpha identifier comes before it.
constexpr unsigned kMinAdnRecordLength = gsm::kNumberBlockSize;
// The name is cleared over this many characters on read, the number over this many.
constexpr std::size_t kNameClear = 128;
constexpr std::size_t kNumberClear = 256;
// The entry kept for the ADN record at `index`, or nullptr for an index no record of the
// selected phonebook has.
KnownRecord* knownRecord(LibraryState& s, std::uint32_t index) {
    if (s.adn.recordCount <= 0 || index >= static_cast<std::uint32_t>(s.adn.recordCount) ||
        index >= s.knownAdnRecords.size()) {
        return nullptr;
    }
    return &s.knownAdnRecords[index];
}

void remember(LibraryState& s, std::uint32_t index, std::span<const std::uint8_t> bytes,
              bool read) {
    if (KnownRecord* known = knownRecord(s, index)) {
        known->bytes.assign(bytes.begin(), bytes.end());
        known->read = read;
    }
}

void forget(LibraryState& s, std::uint32_t index) {
    if (KnownRecord* known = knownRecord(s, index)) {
        *known = KnownRecord{};
    }
}

// The bytes of the ADN record at `index` as the card holds them now: known from an earlier
// read or write on this connection, else read from the card. Empty when that read fails.
std::optional<std::vector<std::uint8_t>>
currentRecord(LibraryState& s, const Connection& connection, std::uint32_t index) {
    if (const KnownRecord* known = knownRecord(s, index); known && !known->bytes.empty()) {
        return known->bytes;
    }
    const unsigned length = s.adn.recordLength;
    const auto response =
        readRecord(connection, recordNumber(index), static_cast<std::uint8_t>(length));
    if (!response) {
        return std::nullopt;
    }
    const auto bytes = response->data();
    remember(s, index, bytes, true);
    return std::vector<std::uint8_t>(bytes.begin(), bytes.end());
}

// Writes `bytes` to the ADN record at `index` unless the card is known to hold them
// already; remembers what the card holds afterwards.
bool updateAdnRecord(LibraryState& s, const Connection& connection, std::uint32_t index,
                     std::span<const std::uint8_t> bytes) {
    if (const KnownRecord* known = knownRecord(s, index);
        known && std::ranges::equal(known->bytes, bytes)) {
        return true;
    }
    if (!updateRecord(connection, recordNumber(index), bytes)) {
        // The card may or may not have taken the bytes.
        forget(s, index);
        return false;
    }
    remember(s, index, bytes, false);
    return true;
}

// The file information of an extension file the library can use: 13-byte slots or more.
std::optional<FileGeometry> readExt1Information(const Connection& connection,
                                                std::uint8_t responseLength) {
    auto geometry = readFileInformation(connection, responseLength);
    if (geometry && geometry->recordLength < gsm::kExt1SlotSize) {
        return std::nullopt;
    }
    return geometry;
}

// Loads every extension record into the card image and the working copy. Loading that
// fails part way keeps both buffers as they were: an image mixing records of this card
// with an older one would make a later flush write stale records over this card's.
bool loadExtensions(LibraryState& s, const Connection& connection) {
    gsm::Ext1Buffer image = s.ext1CardImage;
    for (int slot = 0; slot < s.ext1.recordCount; ++slot) {
        const auto record = readRecord(connection, recordNumber(slot),
                                       static_cast<std::uint8_t>(s.ext1.recordLength));
        if (!record) {
            return false;
        }
        std::copy_n(record->bytes.begin(), gsm::kExt1SlotSize,
                    gsm::SlotOf(image, static_cast<std::size_t>(slot)).begin());
    }
    s.ext1CardImage = image;
    s.ext1WorkingCopy = image;
    s.ext1ImageCurrent = true;
    return true;
}

// The geometry of an extension file the library can use, selected on a UICC; nothing (and
// `failed` set) when the file is there but unusable.
std::optional<FileGeometry> selectUiccExt1(const Connection& connection,
                                           const PhonebookLocation& book, bool& failed) {
    const auto geometry = selectRecordFile(connection, book.directory, book.ext1);
    const auto& position = state().position;
    const bool selected = position && position->file == book.ext1;
    if (geometry && geometry->recordLength >= gsm::kExt1SlotSize) {
        return geometry;
    }
    failed = selected || geometry.has_value();
    return std::nullopt;
}

// Writes every slot whose working copy differs from the card image, EF EXT1 of `geometry`
// being selected. Without a card image read on this connection every slot is written.
QLRESULT writeChangedExtensions(LibraryState& s, const Connection& connection,
                                const std::optional<FileGeometry>& geometry) {
    if (!geometry) {
        return QL_E_SELECT_EF;
    }
    s.ext1 = *geometry;
    const bool imageKnown = s.ext1ImageCurrent;
    std::array<std::uint8_t, 255> record;
    for (int slot = 0; slot < s.ext1.recordCount; ++slot) {
        const auto working = gsm::SlotOf(s.ext1WorkingCopy, static_cast<std::size_t>(slot));
        const auto image = gsm::SlotOf(s.ext1CardImage, static_cast<std::size_t>(slot));
        if (imageKnown && std::equal(working.begin(), working.end(), image.begin())) {
            continue;
        }
        // Records longer than a slot get FF after the slot's bytes.
        record.fill(0xFF);
        std::copy(working.begin(), working.end(), record.begin());
        if (!updateRecord(connection, recordNumber(slot),
                          std::span(record).first(s.ext1.recordLength))) {
            return QL_E_SELECT_EF;
        }
        std::copy(working.begin(), working.end(), image.begin());
    }
    // Every slot the card has now holds the working copy's bytes.
    s.ext1ImageCurrent = true;
    return QL_OK;
}

} // namespace

namespace {

// GSM: the phonebook under DF Telecom, selected as the library has always done it.
QLRESULT selectGsmPhonebook(LibraryState& s, const Connection& connection) {
    if (const auto ext1Response = selectFile(connection, kEfExt1)) {
        const auto geometry = readExt1Information(connection, *ext1Response);
        if (!geometry) {
            return QL_E_SELECT_EF;
        }
        s.ext1 = *geometry;
        if (!loadExtensions(s, connection)) {
            return QL_E_SELECT_EF;
        }
    }
    const auto adnResponse = selectFile(connection, kEfAdn);
    if (!adnResponse) {
        return QL_E_SELECT_EF;
    }
    const auto geometry = readFileInformation(connection, *adnResponse);
    if (!geometry || geometry->recordLength < kMinAdnRecordLength) {
        return QL_E_SELECT_EF;
    }
    s.adn = *geometry;
    return QL_OK;
}

// UICC: the phonebook where it was found, its FCPs read once a connection.
QLRESULT selectUiccPhonebook(LibraryState& s, const Connection& connection) {
    if (s.phonebook.place == PhonebookPlace::None) {
        const auto found = locateUiccPhonebook(connection);
        if (!found) {
            return QL_E_SELECT_DF;
        }
        s.phonebook = *found;
    }
    const PhonebookLocation book = s.phonebook;
    if (book.ext1 != 0) {
        bool failed = false;
        if (const auto geometry = selectUiccExt1(connection, book, failed)) {
            s.ext1 = *geometry;
            if (!loadExtensions(s, connection)) {
                return QL_E_SELECT_EF;
            }
        } else if (failed) {
            return QL_E_SELECT_EF;
        }
    }
    const auto geometry = selectRecordFile(connection, book.directory, book.adn);
    if (!geometry || geometry->recordLength < kMinAdnRecordLength) {
        return QL_E_SELECT_EF;
    }
    s.adn = *geometry;
    return QL_OK;
}

} // namespace

QLRESULT selectPhonebook(QL_FILE_INFO& info) {
    LibraryState& s = state();
    if (!s.connection) {
        return QL_E_NOT_CONNECTED;
    }
    const Connection connection = *s.connection;
    s.ext1.recordCount = 0;
    // A new selection reads the records again; until then nothing is known of them.
    s.knownAdnRecords.clear();
    if (cardMode() != CardMode::Uicc && !selectFile(connection, kDfTelecom) &&
        cardMode() != CardMode::Uicc) {
        return QL_E_SELECT_DF;
    }
    QLRESULT result = QL_OK;
    if (cardMode() == CardMode::Uicc) {
        result = selectUiccPhonebook(s, connection);
    } else {
        s.phonebook = PhonebookLocation{PhonebookPlace::Telecom, kTelecomPath, kEfAdn, kEfExt1};
        result = selectGsmPhonebook(s, connection);
    }
    if (result != QL_OK) {
        return result;
    }
    info.recordCount = static_cast<std::uint32_t>(s.adn.recordCount);
    info.recordLength = s.adn.recordLength;
    s.knownAdnRecords.assign(static_cast<std::size_t>(s.adn.recordCount), KnownRecord{});
    return QL_OK;
}

QLRESULT readPhonebookItem(QL_ADN_ITEM& item) {
    LibraryState& s = state();
    if (!s.connection) {
        return QL_E_NOT_CONNECTED;
    }
    item.nameLength = 0;
    item.numberLength = 0;
    const unsigned length = s.adn.recordLength;
    if (length < kMinAdnRecordLength || item.index > kLastItemIndex) {
        return QL_E_READ;
    }
    if (!selectPath(*s.connection, s.phonebook.directory, s.phonebook.adn)) {
        return QL_E_READ;
    }
    const auto response =
        readRecord(*s.connection, recordNumber(item.index), static_cast<std::uint8_t>(length));
    if (!response) {
        forget(s, item.index);
        return QL_E_READ;
    }
    const std::span<const std::uint8_t> record = response->data();
    remember(s, item.index, record, true);
    const std::size_t alphaLength = length - gsm::kNumberBlockSize;

    std::fill_n(item.name, kNameClear, QL_CHAR16{0});
    if (record[0] != 0xFF) {
        // A 00 byte in the alpha field ends the name: the length counts what a C caller sees.
        storeText(beforeFirstNul(gsm::DecodeAlpha(record.first(alphaLength))), item.name,
                  item.nameLength);
    }

    std::fill_n(item.number, kNumberClear, QL_CHAR16{0});
    std::u16string number = gsm::DecodeNumberBlock(record.subspan(alphaLength, gsm::kNumberBlockSize));
    const std::uint8_t extensionId = record[length - 1];
    number += gsm::ReadExtensionChain(s.ext1WorkingCopy, s.ext1.recordCount, extensionId);
    storeText(number, item.number, item.numberLength);
    return QL_OK;
}

QLRESULT writePhonebookItem(QL_ADN_ITEM& item) {
    LibraryState& s = state();
    if (!s.connection) {
        return QL_E_NOT_CONNECTED;
    }
    // Phonebook numbers are stored without '+' (TON/NPI 81); the caller sees the number as
    // it was stored.
    dropLeadingPlus(item.number);
    // Without a selected phonebook, or for an index no record has, the write fails where
    // it would read the old record.
    const unsigned length = s.adn.recordLength;
    if (length < kMinAdnRecordLength || item.index > kLastItemIndex) {
        return QL_E_READ;
    }
    const Connection connection = *s.connection;
    if (!selectPath(connection, s.phonebook.directory, s.phonebook.adn)) {
        return QL_E_READ;
    }

    const auto current = currentRecord(s, connection, item.index);
    if (!current) {
        return QL_E_READ;
    }
    const std::vector<std::uint8_t> oldChain =
        gsm::ReleaseExtensionChain(s.ext1WorkingCopy, s.ext1.recordCount, current->back());

    std::array<std::uint8_t, 255> buffer;
    buffer.fill(0xFF);
    const std::span<std::uint8_t> record = std::span(buffer).first(length);
    const std::u16string number = fieldText(item.number);
    std::uint8_t extensionId = gsm::kNoExtension;
    if (number.size() > gsm::kDigitsPerBlock) {
        extensionId = gsm::StoreExtensionChain(s.ext1WorkingCopy, s.ext1.recordCount,
                                          number.substr(gsm::kDigitsPerBlock), oldChain);
    }
    const std::size_t alphaLength = length - gsm::kNumberBlockSize;
    gsm::EncodeAlpha(fieldText(item.name), record.first(alphaLength));
    gsm::EncodeNumberBlock(number, std::min(number.size(), gsm::kDigitsPerBlock),
                      record.subspan(alphaLength, gsm::kNumberBlockSize));
    record[length - 1] = extensionId;

    if (!updateAdnRecord(s, connection, item.index, record)) {
        return QL_E_WRITE;
    }
    return QL_OK;
}

QLRESULT flushExtensions() {
    LibraryState& s = state();
    if (!s.connection) {
        return QL_E_NOT_CONNECTED;
    }
    const Connection connection = *s.connection;
    if (cardMode() == CardMode::Uicc) {
        const PhonebookLocation book = s.phonebook;
        if (book.place == PhonebookPlace::None) {
            return QL_E_SELECT_EF;
        }
        if (book.ext1 == 0) {
            return QL_OK;
        }
        bool failed = false;
        const auto geometry = selectUiccExt1(connection, book, failed);
        if (!geometry && !failed) {
            return QL_OK;
        }
        return writeChangedExtensions(s, connection, geometry);
    }
    // The extension records belong to DF Telecom, wherever another family's selection left
    // the card; without that directory they cannot be written.
    const auto position = s.position;
    if ((!position || position->directory != kTelecomPath) && !selectFile(connection, kDfTelecom)) {
        return QL_E_SELECT_EF;
    }
    const auto response = selectFile(connection, kEfExt1);
    if (!response) {
        return QL_OK;
    }
    return writeChangedExtensions(s, connection, readExt1Information(connection, *response));
}

QLRESULT readPhonebookRecord(std::uint32_t index, std::uint8_t* buffer) {
    LibraryState& s = state();
    if (!s.connection) {
        return QL_E_NOT_CONNECTED;
    }
    const unsigned length = s.adn.recordLength;
    // A record the library has just read through the item read is handed out as the card
    // answered then: a host saving the raw records beside the items costs no second read.
    // Bytes the library wrote itself are read back from the card.
    if (const KnownRecord* known = knownRecord(s, index & 0xFF);
        known && known->read && known->bytes.size() == length && recordNumber(index) != 0) {
        std::copy(known->bytes.begin(), known->bytes.end(), buffer);
        buffer[length] = 0x90;
        buffer[length + 1] = 0x00;
        return QL_OK;
    }
    if (!readRawRecord(*s.connection, s.phonebook.directory, s.phonebook.adn, length, index,
                       buffer)) {
        return QL_E_READ;
    }
    remember(s, index & 0xFF, std::span<const std::uint8_t>(buffer, length), true);
    return QL_OK;
}

QLRESULT writePhonebookRecord(std::uint32_t index, const std::uint8_t* buffer) {
    LibraryState& s = state();
    if (!s.connection) {
        return QL_E_NOT_CONNECTED;
    }
    const unsigned length = s.adn.recordLength;
    const std::span<const std::uint8_t> bytes(buffer, length);
    if (const KnownRecord* known = knownRecord(s, index & 0xFF);
        known && length != 0 && recordNumber(index) != 0 &&
        std::ranges::equal(known->bytes, bytes)) {
        return QL_OK;
    }
    if (!writeRawRecord(*s.connection, s.phonebook.directory, s.phonebook.adn, length, index,
                        buffer)) {
        forget(s, index & 0xFF);
        return QL_E_WRITE;
    }
    remember(s, index & 0xFF, bytes, false);
    return QL_OK;
}

QLRESULT extensionWorkingCopy(std::uint8_t*& buffer, std::uint32_t& size) {
    LibraryState& s = state();
    if (!s.connection) {
        return QL_E_NOT_CONNECTED;
    }
    buffer = s.ext1WorkingCopy.data();
    size = static_cast<std::uint32_t>(std::max(s.ext1.recordCount, 0)) * gsm::kExt1SlotSize;
    return QL_OK;
}

QLRESULT replaceExtensionWorkingCopy(const std::uint8_t* source, std::uint32_t count) {
    LibraryState& s = state();
    if (!s.connection) {
        return QL_E_NOT_CONNECTED;
    }
    const std::size_t bytes = std::min<std::size_t>(count, s.ext1WorkingCopy.size());
    std::copy_n(source, bytes, s.ext1WorkingCopy.begin());
    return QL_OK;
}

} // namespace quenlib
