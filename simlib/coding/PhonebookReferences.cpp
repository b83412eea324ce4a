#include "simlib/coding/PhonebookReferences.h"

#include "simlib/coding/TlvReader.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace quenlib {

namespace {

constexpr std::uint8_t kType1Files = 0xA8;
constexpr std::uint8_t kType3Files = 0xAA;
constexpr std::uint8_t kEfAdnTag = 0xC0;
constexpr std::uint8_t kEfExt1Tag = 0xC2;
constexpr std::uint8_t kApplicationTemplate = 0x61;
constexpr std::uint8_t kAidTag = 0x4F;
constexpr std::array<std::uint8_t, 7> kUsimPrefix{0xA0, 0x00, 0x00, 0x00, 0x87, 0x10, 0x02};

// The file identifier of a file's data object: its first two bytes (an SFI may follow).
std::optional<std::uint16_t> FileIdOf(const DataObject& object) {
    if (object.value.size() < 2) {
        return std::nullopt;
    }
    return static_cast<std::uint16_t>(object.value[0] << 8 | object.value[1]);
}

// The identifier of the first file tagged `tag` inside a constructed entry.
std::optional<std::uint16_t> FileTagged(std::span<const std::uint8_t> entry, std::uint8_t tag,
                                        bool& malformed) {
    TlvReader reader(entry);
    std::string_view error;
    while (!reader.atEnd()) {
        const auto object = reader.next(error);
        if (!object) {
            malformed = true;
            return std::nullopt;
        }
        if (object->tag == tag) {
            return FileIdOf(*object);
        }
    }
    return std::nullopt;
}

} // namespace

std::optional<PhonebookFiles> ParsePbrRecord(std::span<const std::uint8_t> record) {
    TlvReader reader(record);
    std::string_view error;
    std::optional<std::uint16_t> adn;
    std::optional<std::uint16_t> ext1;
    bool seenType1 = false;
    bool malformed = false;
    while (!reader.atEnd()) {
        const auto entry = reader.next(error);
        if (!entry) {
            return std::nullopt;
        }
        if (entry->tag == kType1Files && !seenType1) {
            seenType1 = true;
            adn = FileTagged(entry->value, kEfAdnTag, malformed);
        } else if (entry->tag == kType3Files && !ext1) {
            ext1 = FileTagged(entry->value, kEfExt1Tag, malformed);
        }
        if (malformed) {
            return std::nullopt;
        }
    }
    if (!adn || *adn == 0) {
        return std::nullopt;
    }
    return PhonebookFiles{*adn, ext1.value_or(0)};
}

std::optional<std::vector<std::uint8_t>> UsimAidOf(std::span<const std::uint8_t> record) {
    TlvReader reader(record);
    std::string_view error;
    const auto application = reader.next(error);
    if (!application || application->tag != kApplicationTemplate) {
        return std::nullopt;
    }
    TlvReader inner(application->value);
    while (!inner.atEnd()) {
        const auto object = inner.next(error);
        if (!object) {
            return std::nullopt;
        }
        if (object->tag != kAidTag) {
            continue;
        }
        const auto aid = object->value;
        if (aid.size() < kUsimPrefix.size() || aid.size() > 16 ||
            !std::equal(kUsimPrefix.begin(), kUsimPrefix.end(), aid.begin())) {
            return std::nullopt;
        }
        return std::vector<std::uint8_t>(aid.begin(), aid.end());
    }
    return std::nullopt;
}

} // namespace quenlib
