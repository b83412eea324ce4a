// The only file that calls the card library.
#include "editor/sim/SimAccess.h"

#include "editor/sim/CardText.h"
#include "simlib/include/quenlib.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <iterator>
#include <string>

namespace tarvik {
namespace {

// The library's record sizes, as the editor puts them in the size words.
constexpr std::uint32_t kFileInfoSizeWord = 68;
constexpr std::uint32_t kConnectionWord = 68;
constexpr std::uint32_t kItemSize = sizeof(QL_ADN_ITEM);
static_assert(kItemSize == 1616);

struct ConnectionState {
    bool initialised = false;
    bool connected = false;
    // Passed to connect and disconnect, which do not read it.
    std::uint32_t connectionWord = 0;
    // The geometry of the phonebook last selected, for the raw record calls.
    int adnRecordLength = 0;
    int ext1Records = 0;
};

ConnectionState& state() {
    static ConnectionState connection;
    return connection;
}

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

void SimConnect() {
    ConnectionState& s = state();
    if (s.connected) {
        return;
    }
    if (!s.initialised) {
        if (QLSIM_Init() != QL_OK) {
            return;
        }
        s.initialised = true;
    }
    s.connectionWord = kConnectionWord;
    s.connected = QLSIM_Connect(&s.connectionWord) == QL_OK;
    s.adnRecordLength = 0;
    s.ext1Records = 0;
}

void SimDisconnect() {
    ConnectionState& s = state();
    if (s.connected) {
        QLSIM_Disconnect(&s.connectionWord);
        s.connected = false;
    }
    if (s.initialised) {
        QLSIM_Final();
        s.initialised = false;
    }
}

bool SimIsConnected() {
    return state().connected;
}

std::optional<bool> SimPinEnabled() {
    std::uint32_t enabled = 0;
    std::uint32_t attemptsLeft = 0;
    if (QLSIM_GetPIN1State(&enabled, &attemptsLeft) != QL_OK) {
        return std::nullopt;
    }
    return enabled != 0;
}

CardRefusal SimLastRefusal() {
    QL_CARD_INFO info{};
    info.size = sizeof info;
    if (QLSIM_GetCardInfo(&info) != QL_OK) {
        return CardRefusal::None;
    }
    return RefusalOf(static_cast<std::uint16_t>(info.lastRefusal));
}

bool SimVerifyPin(std::string_view pin) {
    const std::string code(pin);
    return QLSIM_VerifyPIN1(code.c_str()) == QL_OK;
}

std::optional<PinFacts> SimPinFacts() {
    QL_PIN_CONTEXT context{};
    if (QLSIM_GetPINContext(&context) != QL_OK) {
        return std::nullopt;
    }
    return PinFacts{context.pin1Enabled != 0, static_cast<int>(context.pin1AttemptsLeft),
                    static_cast<int>(context.unblock1AttemptsLeft)};
}

std::optional<CardFacts> SimCardFacts() {
    QL_CARD_INFO info{};
    info.size = sizeof info;
    if (QLSIM_GetCardInfo(&info) != QL_OK) {
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

bool SimHasShortMessages() {
    QL_COUNT_INFO info{};
    return QLSMS_SelectFile(&info) == QL_OK;
}

bool SimHasOwnNumbers() {
    QL_FILE_INFO info{};
    info.size = kFileInfoSizeWord;
    return QLISDN_SelectFile(&info) == QL_OK;
}

bool SimDisablePin(std::string_view pin) {
    const std::string code(pin);
    return QLSIM_DisablePIN1(code.c_str()) == QL_OK;
}

int SimPinRemaining() {
    QL_PIN_CONTEXT context{};
    context.pin1AttemptsLeft = 0;
    if (QLSIM_GetPINContext(&context) != QL_OK) {
        return 0;
    }
    return static_cast<int>(context.pin1AttemptsLeft);
}

CardAccess QueryCardAccess() {
    if (!SimIsConnected()) {
        return CardAccess::NotFound;
    }
    const auto enabled = SimPinEnabled();
    if (!enabled) {
        switch (SimLastRefusal()) {
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
    return SimPinRemaining() >= 1 ? CardAccess::NeedsPin : CardAccess::Blocked;
}

std::optional<SimItem> SimReadItem(int index) {
    QL_ADN_ITEM item = EmptyItem(index);
    if (QLADN_ReadItemW(&item) != QL_OK) {
        return std::nullopt;
    }
    SimItem read;
    if (item.nameLength > 0 || item.numberLength > 0) {
        read.name = FieldText(item.name);
        read.number = FieldText(item.number);
    }
    return read;
}

std::optional<std::string> SimReadIccid() {
    char digits[QL_ICCID_SIZE] = {};
    if (QLSIM_GetICCID(digits, sizeof digits) != QL_OK) {
        return std::nullopt;
    }
    return std::string(digits);
}

std::optional<PhonebookGeometry> SimSelectPhonebook() {
    QL_FILE_INFO info{};
    info.size = kFileInfoSizeWord;
    if (QLADN_SelectFile(&info) != QL_OK) {
        return std::nullopt;
    }
    ConnectionState& s = state();
    s.adnRecordLength = static_cast<int>(info.recordLength);
    PhonebookGeometry geometry;
    geometry.adnRecords = static_cast<int>(info.recordCount);
    geometry.adnRecordLength = s.adnRecordLength;
    std::uint8_t* extensions = nullptr;
    std::uint32_t size = 0;
    if (QLADN_ReadExt1BufP(&extensions, &size) == QL_OK) {
        geometry.ext1Records = static_cast<int>(size / kExt1RecordLength);
    }
    s.ext1Records = geometry.ext1Records;
    return geometry;
}

std::optional<RecordBytes> SimReadRecord(int index) {
    const int length = state().adnRecordLength;
    if (length <= 0) {
        return std::nullopt;
    }
    // The record, then the two status bytes.
    RecordBytes buffer(static_cast<std::size_t>(length) + 2);
    if (QLADN_ReadRecord(static_cast<std::uint32_t>(index), buffer.data()) != QL_OK) {
        return std::nullopt;
    }
    buffer.resize(static_cast<std::size_t>(length));
    return buffer;
}

std::vector<RecordBytes> SimExtensionRecords() {
    std::uint8_t* extensions = nullptr;
    std::uint32_t size = 0;
    std::vector<RecordBytes> records;
    if (QLADN_ReadExt1BufP(&extensions, &size) != QL_OK || extensions == nullptr) {
        return records;
    }
    for (std::uint32_t offset = 0; offset + kExt1RecordLength <= size;
         offset += kExt1RecordLength) {
        records.emplace_back(extensions + offset, extensions + offset + kExt1RecordLength);
    }
    return records;
}

bool SimWriteRecord(int index, std::span<const std::uint8_t> bytes) {
    if (static_cast<int>(bytes.size()) != state().adnRecordLength) {
        return false;
    }
    return QLADN_WriteRecord(static_cast<std::uint32_t>(index), bytes.data()) == QL_OK;
}

bool SimReplaceExtensionRecords(std::span<const RecordBytes> records) {
    if (static_cast<int>(records.size()) > state().ext1Records) {
        return false;
    }
    std::vector<std::uint8_t> bytes;
    for (const RecordBytes& record : records) {
        if (record.size() != static_cast<std::size_t>(kExt1RecordLength)) {
            return false;
        }
        bytes.insert(bytes.end(), record.begin(), record.end());
    }
    return bytes.empty() ||
           QLADN_WriteExt1Buf(bytes.data(), static_cast<std::uint32_t>(bytes.size())) == QL_OK;
}

bool SimWriteItem(int index, std::u16string_view name, std::u16string_view number) {
    QL_ADN_ITEM item = EmptyItem(index);
    StoreFieldText(name, item.name);
    StoreFieldText(number, item.number);
    item.nameLength = 0;
    item.numberLength = 0;
    return QLADN_WriteItemW(&item) == QL_OK;
}

bool SimFlush() {
    return QLADN_Flush() == QL_OK;
}

void SimDropConnection() {
    ConnectionState& s = state();
    if (s.connected) {
        QLSIM_Disconnect(&s.connectionWord);
        s.connected = false;
    }
}

} // namespace tarvik
