// The sample case module: the six entry points Quenlib looks up in libdorlin.so (see
// simlib/include/quenlib_case.h), over the case record format of CaseRecord.h and the case
// commands of CaseCard.h.
//
// Results: CaseToAdn -1 bad arguments, -2 a free record. AppendCase -1 bad arguments,
// -2 the card did not answer, -3 the entry does not fit a record, -4 no free record.
// ModifyCase and DeleteCase -1 bad arguments, -2 the card did not answer, -3 no record
// holds the old name and number, -4 (modify) the new entry does not fit a record.
//
// Two environment variables serve tests: DORLIN_LOG names a file that receives one line a
// call, and a non-zero DORLIN_RESULT is returned by every call but Init and Final instead of
// doing anything (DORLIN_INIT_RESULT does the same for Init).
#include "simlib/include/quenlib_case.h"
#include "tools/casemodule/CaseCard.h"
#include "tools/casemodule/CaseRecord.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <span>
#include <string>
#include <type_traits>
#include <vector>

#define DORLIN_EXPORT extern "C" QLCASE_EXPORT

namespace {

using casemodule::CaseCard;
using casemodule::CaseEntry;

std::optional<std::int32_t> resultFromEnvironment(const char* name) {
    const char* value = std::getenv(name);
    if (value == nullptr || *value == '\0') {
        return std::nullopt;
    }
    return static_cast<std::int32_t>(std::strtol(value, nullptr, 10));
}

// The result a test asked for, when it asked for one.
std::optional<std::int32_t> forcedResult() {
    const auto result = resultFromEnvironment("DORLIN_RESULT");
    return result && *result != 0 ? result : std::nullopt;
}

std::string hex(const std::uint8_t* bytes, std::int32_t count) {
    static const char digits[] = "0123456789ABCDEF";
    std::string text;
    for (std::int32_t i = 0; bytes != nullptr && i < count; ++i) {
        text += digits[bytes[i] >> 4];
        text += digits[bytes[i] & 0x0F];
    }
    return text;
}

void log(const std::string& line) {
    const char* path = std::getenv("DORLIN_LOG");
    if (path == nullptr || *path == '\0') {
        return;
    }
    if (std::FILE* file = std::fopen(path, "a")) {
        std::fprintf(file, "%s\n", line.c_str());
        std::fclose(file);
    }
}

bool validCount(const std::uint8_t* bytes, std::int32_t count) {
    return count >= 0 && (count == 0 || bytes != nullptr);
}

std::optional<CaseEntry> entryOf(const std::uint8_t* name, std::int32_t nameBytes,
                                 const std::uint8_t* number, std::int32_t numberLength,
                                 std::uint32_t attribute) {
    if (!validCount(name, nameBytes) || !validCount(number, numberLength) || nameBytes % 2 != 0) {
        return std::nullopt;
    }
    return CaseEntry{std::vector<std::uint8_t>(name, name + nameBytes),
                     std::string(number, number + numberLength), attribute};
}

// The number of the first record for which `matches` holds, -2 when the card fails, -3 when
// none does.
template <typename Match>
std::int64_t findRecord(const CaseCard& card, Match&& matches) {
    const auto count = card.count();
    if (!count) {
        return -2;
    }
    for (unsigned number = 0; number < *count; ++number) {
        const auto record = card.read(number);
        if (!record) {
            return -2;
        }
        if (matches(*record)) {
            return number;
        }
    }
    return -3;
}

// Whether a record holds this name and number, whatever its attribute.
bool holds(const casemodule::Record& record, const CaseEntry& entry) {
    const auto stored = casemodule::decodeRecord(record);
    return stored && stored->name == entry.name && stored->number == entry.number;
}

} // namespace

DORLIN_EXPORT std::int32_t Init(void) {
    return resultFromEnvironment("DORLIN_INIT_RESULT").value_or(0);
}

DORLIN_EXPORT std::int32_t Final(void) {
    return 0;
}

DORLIN_EXPORT std::int32_t CaseToAdn(const std::uint8_t* caseRecord, std::int32_t count,
                                     std::uint8_t* name, std::int32_t* nameBytes,
                                     std::uint8_t* number, std::int32_t* numberLength,
                                     std::uint32_t* attribute) {
    log("CaseToAdn " + hex(caseRecord, count));
    if (const auto forced = forcedResult()) {
        return *forced;
    }
    if (caseRecord == nullptr || count != static_cast<std::int32_t>(casemodule::kRecordSize) ||
        name == nullptr || nameBytes == nullptr || number == nullptr || numberLength == nullptr ||
        attribute == nullptr) {
        return -1;
    }
    const auto entry = casemodule::decodeRecord(std::span(caseRecord, casemodule::kRecordSize));
    if (!entry) {
        return -2;
    }
    std::copy(entry->name.begin(), entry->name.end(), name);
    *nameBytes = static_cast<std::int32_t>(entry->name.size());
    std::copy(entry->number.begin(), entry->number.end(), number);
    *numberLength = static_cast<std::int32_t>(entry->number.size());
    *attribute = entry->attribute;
    return 0;
}

DORLIN_EXPORT std::int32_t AppendCase(QLCASE_CARD card, const std::uint8_t* name,
                                      std::int32_t nameBytes, std::uint32_t attribute,
                                      const std::uint8_t* number, std::int32_t numberLength) {
    log("AppendCase " + hex(name, nameBytes) + " " + std::to_string(attribute) + " " +
        hex(number, numberLength));
    if (const auto forced = forcedResult()) {
        return *forced;
    }
    const auto entry = entryOf(name, nameBytes, number, numberLength, attribute);
    if (!entry) {
        return -1;
    }
    const auto record = casemodule::encodeRecord(*entry);
    if (!record) {
        return -3;
    }
    const CaseCard cases(card);
    const auto free = findRecord(cases, [](const auto& r) { return casemodule::isFree(r); });
    if (free < 0) {
        return free == -3 ? -4 : -2;
    }
    return cases.write(static_cast<unsigned>(free), *record) ? 0 : -2;
}

DORLIN_EXPORT std::int32_t ModifyCase(QLCASE_CARD card, const std::uint8_t* oldName,
                                      std::int32_t oldNameBytes, const std::uint8_t* oldNumber,
                                      std::int32_t oldNumberLength, const std::uint8_t* newName,
                                      std::int32_t newNameBytes, const std::uint8_t* newNumber,
                                      std::int32_t newNumberLength) {
    log("ModifyCase " + hex(oldName, oldNameBytes) + " " + hex(oldNumber, oldNumberLength) + " " +
        hex(newName, newNameBytes) + " " + hex(newNumber, newNumberLength));
    if (const auto forced = forcedResult()) {
        return *forced;
    }
    const auto before = entryOf(oldName, oldNameBytes, oldNumber, oldNumberLength, 0);
    auto after = entryOf(newName, newNameBytes, newNumber, newNumberLength, 0);
    if (!before || !after) {
        return -1;
    }
    const CaseCard cases(card);
    const auto found = findRecord(cases, [&](const auto& r) { return holds(r, *before); });
    if (found < 0) {
        return static_cast<std::int32_t>(found);
    }
    // The record keeps its attribute.
    const auto old = cases.read(static_cast<unsigned>(found));
    if (!old) {
        return -2;
    }
    after->attribute = casemodule::decodeRecord(*old)->attribute;
    const auto record = casemodule::encodeRecord(*after);
    if (!record) {
        return -4;
    }
    return cases.write(static_cast<unsigned>(found), *record) ? 0 : -2;
}

DORLIN_EXPORT std::int32_t DeleteCase(QLCASE_CARD card, const std::uint8_t* name,
                                      std::int32_t nameBytes, const std::uint8_t* number,
                                      std::int32_t numberLength) {
    log("DeleteCase " + hex(name, nameBytes) + " " + hex(number, numberLength));
    if (const auto forced = forcedResult()) {
        return *forced;
    }
    const auto entry = entryOf(name, nameBytes, number, numberLength, 0);
    if (!entry) {
        return -1;
    }
    const CaseCard cases(card);
    const auto found = findRecord(cases, [&](const auto& r) { return holds(r, *entry); });
    if (found < 0) {
        return static_cast<std::int32_t>(found);
    }
    casemodule::Record free;
    free.fill(0xFF);
    return cases.write(static_cast<unsigned>(found), free) ? 0 : -2;
}

// The entry points must match the signatures Quenlib calls them with.
static_assert(std::is_same_v<decltype(&CaseToAdn), QLCASE_CaseToAdn>);
static_assert(std::is_same_v<decltype(&AppendCase), QLCASE_AppendCase>);
static_assert(std::is_same_v<decltype(&ModifyCase), QLCASE_ModifyCase>);
static_assert(std::is_same_v<decltype(&DeleteCase), QLCASE_DeleteCase>);
static_assert(std::is_same_v<decltype(&Init), QLCASE_Init>);
static_assert(std::is_same_v<decltype(&Final), QLCASE_Final>);
