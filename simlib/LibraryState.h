#pragma once

#include "simlib/CardBackend.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace quenlib {

inline constexpr std::size_t kExt1SlotSize = 13;
inline constexpr std::size_t kExt1Slots = 255;
inline constexpr std::size_t kExt1BufferSize = kExt1SlotSize * kExt1Slots; // 3,315

using Ext1Buffer = std::array<std::uint8_t, kExt1BufferSize>;

// Record length and count of a selected record file.
struct FileGeometry {
    unsigned recordLength = 0;
    int recordCount = -1;
};

struct Connection {
    CardHandle card = 0;
    Protocol protocol = Protocol::Undefined;
};

// The card's current directory and elementary file, as the library's own selections left
// them. Unknown after a failed selection and on a new connection.
struct CardPosition {
    std::uint16_t directory = 0;
    std::optional<std::uint16_t> file;
    bool operator==(const CardPosition&) const = default;
};

// The bytes of a record as the library last saw them on the card; empty when unknown.
struct KnownRecord {
    std::vector<std::uint8_t> bytes;
    // The bytes came from a READ RECORD rather than from the library's own UPDATE RECORD.
    bool read = false;
};

class CaseModule;

// Everything the library remembers between calls. Its C interface has no handle to hang
// state on, so there is exactly one instance, reached through state().
struct LibraryState {
    CardBackend* backend = nullptr;

    // Set between a successful Init and Final.
    std::optional<ContextHandle> context;
    std::string readerName;
    std::optional<Connection> connection;
    // The reader of the connection, "*" resolved.
    std::string connectedReader;
    std::optional<CardPosition> position;

    FileGeometry adn;
    FileGeometry ext1;
    FileGeometry sms;
    // Set by the short message selection: the card keeps CDMA records in 7F25.
    bool cdmaSms = false;
    FileGeometry msisdn{0, 0};

    // The extension records as the card holds them, and as they will be after a flush.
    Ext1Buffer ext1CardImage{};
    Ext1Buffer ext1WorkingCopy{};
    // Whether the card image was read from the card on this connection. An image from an
    // earlier connection may be outdated (the card was in another reader, say), so a flush
    // does not compare against it.
    bool ext1ImageCurrent = false;
    // One entry per ADN record: its bytes as the library last read them from the card or
    // wrote them there since the phonebook was selected on this connection.
    std::vector<KnownRecord> knownAdnRecords;

    // The case module, loaded by Init; the card was recognised as carrying case records;
    // the case count the card reported.
    std::shared_ptr<CaseModule> caseModule;
    bool caseCardRecognised = false;
    std::uint32_t caseCount = 0;
};

LibraryState& state();

// Forgets which file the card has selected, after a command or a case module call that may
// have selected another: the next family call then selects its own file again.
inline void forgetCardPosition() {
    state().position.reset();
}

// Replaces the card backend; nullptr restores the pcsc-lite backend. For tests.
void setCardBackend(CardBackend* backend);

CardBackend& backend();

} // namespace quenlib
