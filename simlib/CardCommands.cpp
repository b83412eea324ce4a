#include "simlib/CardCommands.h"

#include "simlib/coding/FileControlParameters.h"

#include <algorithm>

namespace quenlib {

namespace {

constexpr std::uint8_t kClassGsm = 0xA0;
constexpr std::uint8_t kClassUicc = 0x00;
constexpr std::uint8_t kInsSelect = 0xA4;
constexpr std::uint8_t kInsGetResponse = 0xC0;
constexpr std::uint8_t kInsReadRecord = 0xB2;
constexpr std::uint8_t kInsUpdateRecord = 0xDC;
constexpr std::uint8_t kInsReadBinary = 0xB0;
constexpr std::uint8_t kModeAbsolute = 0x04;
// SELECT on a UICC (ETSI TS 102 221 §11.1.1.2): P1 00 by file identifier, 04 by DF name
// (the AID); P2 04 returns the FCP, 0C returns nothing.
constexpr std::uint8_t kSelectById = 0x00;
constexpr std::uint8_t kSelectByAid = 0x04;
constexpr std::uint8_t kReturnFcp = 0x04;
constexpr std::uint8_t kReturnNothing = 0x0C;
// In absolute mode record number 0 addresses the card's current record, whichever that
// is; the library only ever means a numbered record, so it never sends 0.
constexpr std::uint8_t kCurrentRecord = 0;
// Commands of one exchange: the command, then GET RESPONSE or the command again.
// Real cards need two or three; more means a card that would keep the reader forever.
constexpr int kMaxRounds = 8;

// Response bytes (1-based) holding the file size (3 and 4) and the record length (15).
constexpr std::size_t kFileSizeHigh = 3;
constexpr std::size_t kFileSizeLow = 4;
constexpr std::size_t kRecordLengthByte = 15;

std::size_t expectedLength(std::uint8_t p3) {
    return p3 == 0 ? 256 : p3;
}

// Directories are the MF (3F00), identifiers starting with 7F (GSM 11.11, 6.2) and those
// starting with 5F (DFs of the second level, ETSI TS 102 221 §8.2).
bool isDirectory(std::uint16_t fileId) {
    return fileId == kMasterFile || (fileId >> 8) == 0x7F || (fileId >> 8) == 0x5F;
}

// The directory a DF selected by identifier becomes: the MF, a DF under the MF, or a DF
// below the current directory.
std::optional<DirectoryPath> directoryAfter(const std::optional<CardPosition>& position,
                                            std::uint16_t fileId) {
    if (fileId == kMasterFile) {
        return kMasterPath;
    }
    if ((fileId >> 8) == 0x7F) {
        return DirectoryPath::of(fileId);
    }
    if (position && position->directory.depth == 1) {
        return DirectoryPath::of(position->directory.ids[0], fileId);
    }
    return std::nullopt;
}

// A card that refuses a selection stays where it was; one whose answer was lost may have
// moved or not, and the next use selects again.
void recordSelection(std::uint16_t fileId, bool answered, bool selected) {
    auto& position = state().position;
    if (!answered) {
        position.reset();
    } else if (!selected) {
        return;
    } else if (isDirectory(fileId)) {
        const auto directory = directoryAfter(position, fileId);
        if (directory) {
            position = CardPosition{*directory, std::nullopt};
        } else {
            position.reset();
        }
    } else if (position) {
        position->file = fileId;
    }
}

// Procedure bytes and warnings (ISO/IEC 7816-4 §5.1.3: 62 xx, 63 xx) are no refusal.
bool isRefusal(const CardResponse& response) {
    const std::uint8_t sw1 = response.sw1();
    return !response.isOk() && sw1 != 0x61 && sw1 != 0x6C && sw1 != 0x9F && sw1 != 0x62 &&
           sw1 != 0x63;
}

void noteAnswer(const CardResponse& response) {
    LibraryState& s = state();
    if (s.mode == CardMode::Unknown) {
        const std::uint16_t sw = response.statusWord();
        // A card that knows no class A0 (6E 00) or treats A0 commands as unknown (6D 00) is
        // a UICC without a GSM view (ETSI TS 102 221 §10.2.1.4).
        s.mode = sw == 0x6E00 || sw == 0x6D00 ? CardMode::Uicc : CardMode::Gsm;
        if (s.mode == CardMode::Uicc) {
            // The answer that told the mode refuses nothing the host asked for.
            return;
        }
    }
    if (isRefusal(response)) {
        s.lastRefusal = response.statusWord();
    }
}

std::optional<CardResponse> exchangeOnce(const Connection& connection,
                                         std::span<const std::uint8_t> command) {
    CardResponse response;
    if (backend().transmit(connection.card, connection.protocol, command, std::span(response.bytes),
                           response.count) != kPcscSuccess) {
        return std::nullopt;
    }
    response.count = std::min(response.count, response.bytes.size());
    return response;
}

std::array<std::uint8_t, 2> fileIdBytes(std::uint16_t fileId) {
    return {static_cast<std::uint8_t>(fileId >> 8), static_cast<std::uint8_t>(fileId & 0xFF)};
}

CommandHeader selectHeader(CardMode mode, std::uint8_t uiccP2) {
    return mode == CardMode::Uicc ? CommandHeader{kInsSelect, kSelectById, uiccP2, 2}
                                  : CommandHeader{kInsSelect, 0, 0, 2};
}

bool isSelectedOnUicc(const std::optional<CardResponse>& response) {
    return response && response->isOk();
}

std::optional<FileGeometry> knownGeometry(const FileKey& key) {
    for (const auto& [known, geometry] : state().knownGeometry) {
        if (known == key) {
            return geometry;
        }
    }
    return std::nullopt;
}

// GSM: the file information after a SELECT answered 9F xx.
std::optional<FileGeometry> readGsmGeometry(const Connection& connection, std::uint16_t file) {
    const auto responseLength = selectFile(connection, file);
    if (!responseLength) {
        return std::nullopt;
    }
    return readFileInformation(connection, *responseLength);
}

// UICC: the record geometry of an FCP; nothing for a transparent, deactivated or
// malformed one.
std::optional<FileGeometry> uiccGeometry(std::span<const std::uint8_t> fcpBytes) {
    const auto parse = ParseFcp(fcpBytes);
    if (!parse.fcp || !parse.fcp->isRecordFile() || parse.fcp->isDeactivated() ||
        parse.fcp->recordLength > 255) {
        return std::nullopt;
    }
    // Record numbers are one byte: a file of more than 255 records is used as 255 of them.
    return FileGeometry{parse.fcp->recordLength,
                        static_cast<int>(std::min(parse.fcp->recordCount, 255u))};
}

bool selectAdfByAid(const Connection& connection) {
    const auto& aid = state().usimAid;
    if (aid.empty() || aid.size() > 16) {
        return false;
    }
    const auto response =
        transmit(connection,
                 {kInsSelect, kSelectByAid, kReturnNothing, static_cast<std::uint8_t>(aid.size())},
                 std::span<const std::uint8_t>(aid));
    if (!response || !response->isOk()) {
        state().position.reset();
        return false;
    }
    state().position = CardPosition{DirectoryPath::of(kCurrentAdf), std::nullopt};
    return true;
}

} // namespace

std::uint8_t classByte(CardMode mode) {
    return mode == CardMode::Uicc ? kClassUicc : kClassGsm;
}

CardMode cardMode() {
    return state().mode;
}

std::optional<CardResponse> transmit(const Connection& connection, CommandHeader header,
                                     std::optional<std::span<const std::uint8_t>> data) {
    const std::uint8_t cla = classByte(state().mode);
    std::array<std::uint8_t, 5 + 255 + 1> command{cla, header.ins, header.p1, header.p2, header.p3};
    std::size_t commandLength = 5;
    if (data && header.p3 == 0) {
        commandLength = 4;
    } else if (data) {
        if (data->size() < header.p3) {
            return std::nullopt;
        }
        std::copy_n(data->begin(), header.p3, command.begin() + 5);
        commandLength += header.p3;
        if (header.answersData && connection.protocol == Protocol::T1) {
            command[commandLength++] = 0x00;
        }
    }
    auto response = exchangeOnce(connection, std::span(command).first(commandLength));
    if (!response || !response->hasStatusWord()) {
        return response;
    }
    noteAnswer(*response);
    // Only a command that expects data back can be sent again with another length.
    bool expectsData = !data;
    // Data fetched by GET RESPONSE so far, when the card hands it out in parts.
    CardResponse collected;
    std::size_t dataCount = 0;
    for (int round = 1; round < kMaxRounds; ++round) {
        if (response->sw1() == 0x6C && expectsData) {
            // Wrong length: the card says how many bytes it has; ask for exactly those.
            command[4] = response->sw2();
        } else if (response->sw1() == 0x61) {
            const auto part = response->data();
            if (dataCount + part.size() > 256) {
                return std::nullopt;
            }
            std::copy(part.begin(), part.end(), collected.bytes.begin() + dataCount);
            dataCount += part.size();
            command = {classByte(state().mode), kInsGetResponse, 0, 0, response->sw2()};
            commandLength = 5;
            expectsData = true;
        } else {
            if (dataCount == 0) {
                return response;
            }
            const auto last = response->data();
            if (dataCount + last.size() > 256) {
                return std::nullopt;
            }
            std::copy(last.begin(), last.end(), collected.bytes.begin() + dataCount);
            dataCount += last.size();
            collected.bytes[dataCount] = response->sw1();
            collected.bytes[dataCount + 1] = response->sw2();
            collected.count = dataCount + 2;
            return collected;
        }
        response = exchangeOnce(connection, std::span(command).first(commandLength));
        if (!response || !response->hasStatusWord()) {
            return std::nullopt;
        }
        noteAnswer(*response);
    }
    // Still asking after every round allowed.
    return std::nullopt;
}

std::optional<std::uint8_t> selectFile(const Connection& connection, std::uint16_t fileId) {
    const auto id = fileIdBytes(fileId);
    const auto response = transmitInMode(
        connection, [](CardMode mode) { return selectHeader(mode, kReturnNothing); },
        std::span<const std::uint8_t>(id));
    const bool uicc = state().mode == CardMode::Uicc;
    const bool selected = uicc ? isSelectedOnUicc(response)
                               : response && response->hasStatusWord() && response->sw1() == 0x9F;
    recordSelection(fileId, response && response->hasStatusWord(), selected);
    if (!selected) {
        return std::nullopt;
    }
    return uicc ? std::uint8_t{0} : response->sw2();
}

std::optional<CardResponse> selectFileWithFcp(const Connection& connection, std::uint16_t fileId) {
    const auto id = fileIdBytes(fileId);
    CommandHeader header = selectHeader(CardMode::Uicc, kReturnFcp);
    header.answersData = true;
    const auto response = transmit(connection, header, std::span(id));
    const bool selected = response && response->isOk();
    // A deactivated file is selected all the same; the library does not use it.
    const bool deactivated =
        response && response->hasStatusWord() && response->statusWord() == 0x6283;
    recordSelection(fileId, response && response->hasStatusWord(), selected || deactivated);
    if (!selected) {
        return std::nullopt;
    }
    return response;
}

namespace {

// Selects `directory` wherever the card is.
bool walkTo(const Connection& connection, const DirectoryPath& directory) {
    const auto position = state().position;
    if (state().mode != CardMode::Uicc) {
        // GSM 11.11 §6.5: the MF and the DFs under it can be selected from anywhere the
        // library goes; a DF below one of them from that DF.
        if (directory.depth == 0) {
            return selectFile(connection, kMasterFile).has_value();
        }
        if (!selectFile(connection, directory.ids[0])) {
            return false;
        }
        return directory.depth == 1 || selectFile(connection, directory.ids[1]).has_value();
    }
    // ETSI TS 102 221 §8.4.1: from the MF or a DF under it, another DF under the MF and a
    // child of the current DF can be selected, and from a DF its parent; from anywhere else
    // the way leads through the MF. The ADF is selected by its AID from anywhere.
    std::uint8_t step = 0;
    const bool fromTop =
        position && !position->directory.underAdf() && position->directory.depth <= 1;
    const bool fromSibling = position && !position->directory.underAdf() &&
                             position->directory.depth == 2 && !directory.underAdf() &&
                             directory.depth >= 1 && position->directory.ids[0] == directory.ids[0];
    // The card already in the first DF of the path: only the rest is selected.
    const bool withinFirst = position && position->directory.depth == 1 && directory.depth == 2 &&
                             position->directory.ids[0] == directory.ids[0];
    if (withinFirst) {
        step = 1;
    } else if (directory.underAdf()) {
        if (!selectAdfByAid(connection)) {
            return false;
        }
        step = 1;
    } else if (directory.depth == 0 || !(fromTop || fromSibling)) {
        if (!selectFile(connection, kMasterFile)) {
            return false;
        }
    }
    for (; step < directory.depth; ++step) {
        if (!selectFile(connection, directory.ids[step])) {
            return false;
        }
    }
    // The card is where the path leads, whichever way it went.
    state().position = CardPosition{directory, std::nullopt};
    return true;
}

} // namespace

bool enterDirectory(const Connection& connection, const DirectoryPath& directory) {
    return state().mode == CardMode::Uicc ? selectDirectory(connection, directory)
                                          : walkTo(connection, directory);
}

bool selectDirectory(const Connection& connection, const DirectoryPath& directory) {
    const auto& position = state().position;
    if (position && position->directory == directory) {
        return true;
    }
    return walkTo(connection, directory);
}

bool selectPath(const Connection& connection, const DirectoryPath& directory, std::uint16_t file) {
    if (state().position == CardPosition{directory, file}) {
        return true;
    }
    // GSM: the directory and the file, as the library has always selected them. UICC: only
    // what the card's position needs.
    const bool walked = state().mode == CardMode::Uicc ? selectDirectory(connection, directory)
                                                       : walkTo(connection, directory);
    if (!walked || !selectFile(connection, file)) {
        return false;
    }
    state().position = CardPosition{directory, file};
    return true;
}

std::optional<FileGeometry> selectRecordFile(const Connection& connection,
                                             const DirectoryPath& directory, std::uint16_t file) {
    if (!selectDirectory(connection, directory)) {
        return std::nullopt;
    }
    if (state().mode != CardMode::Uicc) {
        return readGsmGeometry(connection, file);
    }
    const FileKey key{directory, file};
    if (const auto known = knownGeometry(key)) {
        if (!selectFile(connection, file)) {
            return std::nullopt;
        }
        return known;
    }
    const auto response = selectFileWithFcp(connection, file);
    if (!response) {
        return std::nullopt;
    }
    const auto geometry = uiccGeometry(response->data());
    if (geometry) {
        state().knownGeometry.emplace_back(key, *geometry);
    }
    return geometry;
}

std::optional<CardResponse> getResponse(const Connection& connection, std::uint8_t length) {
    return transmit(connection, {kInsGetResponse, 0, 0, length}, std::nullopt);
}

std::optional<CardResponse> readRecord(const Connection& connection, std::uint8_t record,
                                       std::uint8_t length) {
    if (record == kCurrentRecord) {
        return std::nullopt;
    }
    auto response =
        transmit(connection, {kInsReadRecord, record, kModeAbsolute, length}, std::nullopt);
    if (!response || !response->isOk() || response->data().size() != expectedLength(length)) {
        return std::nullopt;
    }
    return response;
}

bool updateRecord(const Connection& connection, std::uint8_t record,
                  std::span<const std::uint8_t> data) {
    if (record == kCurrentRecord || data.empty() || data.size() > 255) {
        return false;
    }
    const CommandHeader header{kInsUpdateRecord, record, kModeAbsolute,
                               static_cast<std::uint8_t>(data.size())};
    const auto response = transmit(connection, header, data);
    if (!response || !response->hasStatusWord()) {
        return false;
    }
    const bool retried = state().mode == CardMode::Uicc && response->sw1() == 0x63 &&
                         (response->sw2() & 0xF0) == 0xC0;
    return response->isOk() || retried;
}

std::optional<CardResponse> readBinary(const Connection& connection, std::uint8_t length) {
    if (length == 0) {
        return std::nullopt;
    }
    auto response = transmit(connection, {kInsReadBinary, 0, 0, length}, std::nullopt);
    if (!response || !response->isOk() || response->data().size() != length) {
        return std::nullopt;
    }
    return response;
}

std::optional<FileGeometry> readFileInformation(const Connection& connection,
                                                std::uint8_t responseLength) {
    const auto response = getResponse(connection, responseLength);
    if (!response) {
        return std::nullopt;
    }
    const auto data = response->data();
    if (data.size() < kRecordLengthByte) {
        return std::nullopt;
    }
    const unsigned fileSize = data[kFileSizeHigh - 1] << 8 | data[kFileSizeLow - 1];
    const unsigned recordLength = data[kRecordLengthByte - 1];
    if (recordLength == 0) {
        return std::nullopt;
    }
    // Record numbers are one byte: a file of more than 255 records is used as 255 of them.
    return FileGeometry{recordLength, static_cast<int>(std::min(fileSize / recordLength, 255u))};
}

bool readRawRecord(const Connection& connection, const DirectoryPath& directory, std::uint16_t file,
                   unsigned length, std::uint32_t index, std::uint8_t* buffer) {
    if (length == 0 || !selectPath(connection, directory, file)) {
        return false;
    }
    const auto response =
        readRecord(connection, recordNumber(index), static_cast<std::uint8_t>(length));
    if (!response) {
        return false;
    }
    std::copy_n(response->bytes.begin(), length + 2, buffer);
    return true;
}

bool writeRawRecord(const Connection& connection, const DirectoryPath& directory,
                    std::uint16_t file, unsigned length, std::uint32_t index,
                    const std::uint8_t* buffer) {
    return length != 0 && selectPath(connection, directory, file) &&
           updateRecord(connection, recordNumber(index), std::span(buffer, length));
}

} // namespace quenlib
