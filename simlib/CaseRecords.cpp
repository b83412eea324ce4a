#include "simlib/CaseRecords.h"

#include "simlib/CardCommands.h"
#include "simlib/CaseModule.h"
#include "simlib/ItemText.h"
#include "simlib/LibraryState.h"
#include "simlib/ReaderName.h"
#include "gsm/TextCoding.h"

#include <algorithm>
#include <array>
#include <string>
#include <vector>

namespace quenlib {

namespace {

constexpr std::uint8_t kInsCaseCount = 0x0A;
constexpr std::uint8_t kInsReadCase = 0x09;
constexpr std::uint32_t kCaseItemSize = sizeof(QL_CC_ITEM);
// Answer-to-reset bytes 5 to 7 of a card with case records.
constexpr std::size_t kMarkOffset = 4;
constexpr std::string_view kCaseCardMark = "DTM";

enum class Change { Modify, Append, Delete };

// Whether the card in the reader carries case records, from its answer-to-reset. The reader
// is the connection's, else the configured one.
bool caseCardInReader() {
    const LibraryState& s = state();
    if (!s.context) {
        return false;
    }
    std::string reader = s.connectedReader;
    if (reader.empty()) {
        PcscCode failure = kPcscSuccess;
        const auto resolved = resolveReaderName(backend(), *s.context, s.readerName, failure);
        if (!resolved) {
            return false;
        }
        reader = *resolved;
    }
    ReaderStatus status;
    if (backend().readerStatus(*s.context, reader, status) != kPcscSuccess || !status.present ||
        status.empty || status.atr.size() < kMarkOffset + kCaseCardMark.size()) {
        return false;
    }
    return std::equal(kCaseCardMark.begin(), kCaseCardMark.end(), status.atr.begin() + kMarkOffset);
}

// The guard every item function passes before it calls the module: the module and the
// entry point, for append and delete the card recognised before, and the card recognised now.
QLRESULT admit(bool hasEntry, bool needsRecognition) {
    LibraryState& s = state();
    if (!s.caseModule || !hasEntry || (needsRecognition && !s.caseCardRecognised)) {
        return QL_E_FAILED;
    }
    return recogniseCaseCard();
}

QLRESULT readResult(std::int32_t result) {
    switch (result) {
    case 0:
        return QL_OK;
    case -1:
        return QL_E_CASE;
    case -2:
        return QL_E_CASE_READ_2;
    default:
        return QL_E_FAILED;
    }
}

QLRESULT changeResult(Change change, std::int32_t result) {
    switch (result) {
    case 0:
        return QL_OK;
    case -1:
        return QL_E_CASE;
    case -2:
        return QL_E_CASE_2;
    case -3:
        return change == Change::Append ? QL_E_CASE_APPEND_3 : QL_E_CASE_3;
    case -4:
        return change == Change::Append ? QL_E_CASE_APPEND_4 : QL_E_CASE_4;
    case -5:
        return change == Change::Append ? QL_E_FAILED : QL_E_CASE_5;
    case -6:
        return change == Change::Append ? QL_E_FAILED : QL_E_CASE_6;
    default:
        return QL_E_FAILED;
    }
}

// An item's name and number as the module takes them: big-endian UCS2 bytes and 8-bit
// characters. The item's length fields receive the characters converted.
struct ModuleArguments {
    std::vector<std::uint8_t> name;
    std::vector<std::uint8_t> number;

    explicit ModuleArguments(QL_CC_ITEM& item)
        : name(gsm::EncodeUcs2(fieldText(item.name))), number(gsm::Encode8Bit(fieldText(item.number))) {
        item.nameLength = static_cast<std::uint32_t>(name.size() / 2);
        item.numberLength = static_cast<std::uint32_t>(number.size());
    }
    std::int32_t nameBytes() const { return static_cast<std::int32_t>(name.size()); }
    std::int32_t numberLength() const { return static_cast<std::int32_t>(number.size()); }
};

// The guards of modify, append and delete, in order: a connection, the size of every item,
// then admit().
QLRESULT admitChange(std::initializer_list<const QL_CC_ITEM*> items, bool hasEntry,
                     bool needsRecognition) {
    if (!state().connection) {
        return QL_E_NOT_CONNECTED;
    }
    for (const QL_CC_ITEM* item : items) {
        if (item->size != kCaseItemSize) {
            return QL_E_FAILED;
        }
    }
    return admit(hasEntry, needsRecognition);
}

} // namespace

QLRESULT recogniseCaseCard() {
    const bool recognised = caseCardInReader();
    state().caseCardRecognised = recognised;
    return recognised ? QL_OK : QL_E_FAILED;
}

QLRESULT selectCaseRecords(QL_COUNT_INFO& info) {
    LibraryState& s = state();
    if (!s.connection) {
        return QL_E_NOT_CONNECTED;
    }
    if (!s.caseModule && !s.caseCardRecognised) {
        return QL_E_FAILED;
    }
    if (recogniseCaseCard() != QL_OK) {
        return QL_E_FAILED;
    }
    const auto response = transmit(*s.connection, {kInsCaseCount, 0, 0, 2}, std::nullopt);
    forgetCardPosition();
    // A card that refuses the count has told nothing: the count is not made up.
    if (!response || !response->isOk() || response->data().size() != 2) {
        return QL_E_FAILED;
    }
    const auto count = response->data();
    s.caseCount = static_cast<std::uint32_t>(count[0] << 8 | count[1]);
    info.count = s.caseCount;
    return QL_OK;
}

QLRESULT readCaseRecord(QL_CC_ITEM& item) {
    LibraryState& s = state();
    const auto module = s.caseModule;
    if (const QLRESULT admitted = admit(module && module->caseToAdn, false); admitted != QL_OK) {
        return admitted;
    }
    if (!s.connection) {
        return QL_E_FAILED;
    }
    const CommandHeader header{kInsReadCase, static_cast<std::uint8_t>(item.caseNumber >> 8),
                               static_cast<std::uint8_t>(item.caseNumber & 0xFF),
                               QLCASE_RECORD_SIZE};
    const auto response = transmit(*s.connection, header, std::nullopt);
    forgetCardPosition();
    if (!response || !response->isOk() || response->data().size() != QLCASE_RECORD_SIZE) {
        return QL_E_FAILED;
    }
    std::array<std::uint8_t, QLCASE_BUFFER_SIZE> name{};
    std::array<std::uint8_t, QLCASE_BUFFER_SIZE> number{};
    std::int32_t nameBytes = 0;
    std::int32_t numberLength = 0;
    const std::int32_t result =
        module->caseToAdn(response->data().data(), QLCASE_RECORD_SIZE, name.data(), &nameBytes,
                          number.data(), &numberLength, &item.attribute);
    forgetCardPosition();
    if (result != 0) {
        return readResult(result);
    }
    const auto held = [](std::int32_t count) {
        return static_cast<std::size_t>(std::clamp<std::int32_t>(count, 0, QLCASE_BUFFER_SIZE));
    };
    storeConvertedCase(std::span(name).first(held(nameBytes)),
                       std::span(number).first(held(numberLength)), item);
    return QL_OK;
}

void storeConvertedCase(std::span<const std::uint8_t> name, std::span<const std::uint8_t> number,
                        QL_CC_ITEM& item) {
    // Both fields hold more than the module's buffers: nothing is cut here. The name length
    // is the module's byte count.
    std::uint32_t characters = 0;
    storeText(gsm::DecodeUcs2(name), item.name, characters);
    item.nameLength = static_cast<std::uint32_t>(name.size());
    storeText(gsm::Decode8Bit(number), item.number, item.numberLength);
}

QLRESULT modifyCaseRecord(QL_CC_ITEM& oldItem, QL_CC_ITEM& newItem) {
    const auto module = state().caseModule;
    if (const QLRESULT admitted =
            admitChange({&oldItem, &newItem}, module && module->modifyCase, false);
        admitted != QL_OK) {
        return admitted;
    }
    const ModuleArguments before(oldItem);
    const ModuleArguments after(newItem);
    const std::int32_t result =
        module->modifyCase(state().connection->card, before.name.data(), before.nameBytes(),
                           before.number.data(), before.numberLength(), after.name.data(),
                           after.nameBytes(), after.number.data(), after.numberLength());
    forgetCardPosition();
    return changeResult(Change::Modify, result);
}

QLRESULT appendCaseRecord(QL_CC_ITEM& item) {
    const auto module = state().caseModule;
    if (const QLRESULT admitted = admitChange({&item}, module && module->appendCase, true);
        admitted != QL_OK) {
        return admitted;
    }
    const ModuleArguments arguments(item);
    const std::int32_t result =
        module->appendCase(state().connection->card, arguments.name.data(), arguments.nameBytes(),
                           item.attribute, arguments.number.data(), arguments.numberLength());
    forgetCardPosition();
    return changeResult(Change::Append, result);
}

QLRESULT deleteCaseRecord(QL_CC_ITEM& item) {
    const auto module = state().caseModule;
    if (const QLRESULT admitted = admitChange({&item}, module && module->deleteCase, true);
        admitted != QL_OK) {
        return admitted;
    }
    const ModuleArguments arguments(item);
    const std::int32_t result =
        module->deleteCase(state().connection->card, arguments.name.data(), arguments.nameBytes(),
                           arguments.number.data(), arguments.numberLength());
    forgetCardPosition();
    return changeResult(Change::Delete, result);
}

} // namespace quenlib
