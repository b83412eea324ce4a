#pragma once

#include "gsm/Ext1Chain.h"
#include "simlib/CardBackend.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace quenlib {

// Record length and count of a selected record file.
struct FileGeometry {
    unsigned recordLength = 0;
    int recordCount = -1;
};

struct Connection {
    CardHandle card = 0;
    Protocol protocol = Protocol::Undefined;
};

// How the library talks to the card on this connection. Unknown until the card answers its
// first command: a card that answers class A0 gets the GSM 11.11 dialogue; one that refuses
// the class (6E 00, 6D 00) the UICC dialogue of ETSI TS 102 221 with class 00.
enum class CardMode : std::uint8_t { Unknown, Gsm, Uicc };

// The identifier that stands for the USIM's ADF in a directory path: the ADF of the current
// application (ETSI TS 102 221 §8.3). The ADF itself is selected by its AID.
inline constexpr std::uint16_t kCurrentAdf = 0x7FFF;

// A directory as its path from the MF: no identifiers for the MF, one for a DF under it
// (7F10), two for a DF below that (7F10/5F3A, or kCurrentAdf/5F3A).
struct DirectoryPath {
    std::array<std::uint16_t, 2> ids{};
    std::uint8_t depth = 0;

    static constexpr DirectoryPath master() { return {}; }
    static constexpr DirectoryPath of(std::uint16_t first) { return {{first, 0}, 1}; }
    static constexpr DirectoryPath of(std::uint16_t first, std::uint16_t second) {
        return {{first, second}, 2};
    }
    bool underAdf() const { return depth > 0 && ids[0] == kCurrentAdf; }
    bool operator==(const DirectoryPath&) const = default;
};

// The card's current directory and elementary file, as the library's own selections left
// them. Unknown after a failed selection and on a new connection.
struct CardPosition {
    DirectoryPath directory;
    std::optional<std::uint16_t> file;
    bool operator==(const CardPosition&) const = default;
};

// An elementary file by its directory and identifier.
struct FileKey {
    DirectoryPath directory;
    std::uint16_t file = 0;
    bool operator==(const FileKey&) const = default;
};

// Where the phonebook was found on the card.
enum class PhonebookPlace : std::uint8_t {
    None,    // not looked for yet, or not found
    Telecom, // EF ADN 6F3A under DF Telecom, as GSM devices have always read it
    Global,  // the global phonebook DF Telecom/5F3A, through its EF_PBR
    Local,   // the USIM's local phonebook ADF.USIM/5F3A, through its EF_PBR
};

struct PhonebookLocation {
    PhonebookPlace place = PhonebookPlace::None;
    DirectoryPath directory;
    std::uint16_t adn = 0;
    // 0 when the phonebook has no extension file.
    std::uint16_t ext1 = 0;
};

// The bytes of a record as the library last saw them on the card; empty when unknown.
struct KnownRecord {
    std::vector<std::uint8_t> bytes;
    // The bytes came from a READ RECORD rather than from the library's own UPDATE RECORD.
    bool read = false;
};

class CaseModule;

// Everything the library remembers between calls: one library session. Its C interface
// has no handle to hang state on, so the exports use one default session; a ReaderSession
// has one of its own, bound to the calling thread while each of its calls runs.
struct LibraryState {
    CardBackend* backend = nullptr;

    // Set between a successful Init and Final.
    std::optional<ContextHandle> context;
    std::string readerName;
    std::optional<Connection> connection;
    // The reader of the connection, "*" resolved.
    std::string connectedReader;
    std::optional<CardPosition> position;
    CardMode mode = CardMode::Unknown;
    // The status word of the last command the card refused on this connection; 0 when none.
    std::uint16_t lastRefusal = 0;
    // UICC mode: the geometry of each record file whose FCP was read on this connection, so
    // that a file's FCP is asked for once and later selections need none.
    std::vector<std::pair<FileKey, FileGeometry>> knownGeometry;
    // UICC mode: the USIM's AID from EF.DIR, once looked up on this connection.
    std::vector<std::uint8_t> usimAid;
    PhonebookLocation phonebook;

    FileGeometry adn;
    FileGeometry ext1;
    FileGeometry sms;
    // Set by the short message selection: the card keeps CDMA records in 7F25.
    bool cdmaSms = false;
    FileGeometry msisdn{0, 0};

    // The extension records as the card holds them, and as they will be after a flush.
    gsm::Ext1Buffer ext1CardImage{};
    gsm::Ext1Buffer ext1WorkingCopy{};
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

// The session of the calling thread: the one bound to it, else the default session of the
// exports.
LibraryState& state();

// Binds a session to the calling thread for the binding's lifetime, so that the library's
// code reaches that session's state; the one bound before comes back after it.
class SessionBinding {
public:
    explicit SessionBinding(LibraryState& session);
    ~SessionBinding();
    SessionBinding(const SessionBinding&) = delete;
    SessionBinding& operator=(const SessionBinding&) = delete;

private:
    LibraryState* previous_;
};

// Forgets which file the card has selected, after a command or a case module call that may
// have selected another: the next family call then selects its own file again.
inline void forgetCardPosition() {
    state().position.reset();
}

// Replaces the card backend of the calling thread's session; nullptr restores the pcsc-lite
// backend. For tests.
void setCardBackend(CardBackend* backend);

CardBackend& backend();

} // namespace quenlib
