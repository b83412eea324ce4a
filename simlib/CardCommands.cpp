#include "simlib/CardCommands.h"

#include <algorithm>

namespace quenlib {

namespace {

constexpr std::uint8_t kClassGsm = 0xA0;
constexpr std::uint8_t kInsSelect = 0xA4;
constexpr std::uint8_t kInsGetResponse = 0xC0;
constexpr std::uint8_t kInsReadRecord = 0xB2;
constexpr std::uint8_t kInsUpdateRecord = 0xDC;
constexpr std::uint8_t kInsReadBinary = 0xB0;
constexpr std::uint8_t kModeAbsolute = 0x04;
// In absolute mode record number 0 addresses the card's current record, whichever that
// is; the library only ever means a numbered record, so it never sends 0.
constexpr std::uint8_t kCurrentRecord = 0;

// Response bytes (1-based) holding the file size (3 and 4) and the record length (15).
constexpr std::size_t kFileSizeHigh = 3;
constexpr std::size_t kFileSizeLow = 4;
constexpr std::size_t kRecordLengthByte = 15;

std::size_t expectedLength(std::uint8_t p3) {
    return p3 == 0 ? 256 : p3;
}

// Directories are the MF (3F00) and identifiers starting with 7F (GSM 11.11, 6.2).
bool isDirectory(std::uint16_t fileId) {
    return fileId == kMasterFile || (fileId >> 8) == 0x7F;
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
        position = CardPosition{fileId, std::nullopt};
    } else if (position) {
        position->file = fileId;
    }
}

} // namespace

std::optional<CardResponse> transmit(const Connection& connection, CommandHeader header,
                                     std::optional<std::span<const std::uint8_t>> data) {
    std::array<std::uint8_t, 5 + 255> command{kClassGsm, header.ins, header.p1, header.p2,
                                              header.p3};
    std::size_t commandLength = 5;
    std::size_t receiveLength = 2;
    if (!data) {
        receiveLength = expectedLength(header.p3) + 2;
    } else if (header.p3 == 0) {
        commandLength = 4;
    } else {
        if (data->size() < header.p3) {
            return std::nullopt;
        }
        std::copy_n(data->begin(), header.p3, command.begin() + 5);
        commandLength += header.p3;
    }
    CardResponse response;
    if (backend().transmit(
            connection.card, connection.protocol, std::span(command).first(commandLength),
            std::span(response.bytes).first(receiveLength), response.count) != kPcscSuccess) {
        return std::nullopt;
    }
    return response;
}

std::optional<std::uint8_t> selectFile(const Connection& connection, std::uint16_t fileId) {
    const std::array<std::uint8_t, 2> id{static_cast<std::uint8_t>(fileId >> 8),
                                         static_cast<std::uint8_t>(fileId & 0xFF)};
    const auto response = transmit(connection, {kInsSelect, 0, 0, 2}, std::span(id));
    const bool selected = response && response->hasStatusWord() && response->sw1() == 0x9F;
    recordSelection(fileId, response && response->hasStatusWord(), selected);
    if (!selected) {
        return std::nullopt;
    }
    return response->sw2();
}

bool selectPath(const Connection& connection, std::uint16_t directory, std::uint16_t file) {
    if (state().position == CardPosition{directory, file}) {
        return true;
    }
    return selectFile(connection, directory) && selectFile(connection, file);
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
    return response && response->isOk();
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

bool readRawRecord(const Connection& connection, std::uint16_t directory, std::uint16_t file,
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

bool writeRawRecord(const Connection& connection, std::uint16_t directory, std::uint16_t file,
                    unsigned length, std::uint32_t index, const std::uint8_t* buffer) {
    return length != 0 && selectPath(connection, directory, file) &&
           updateRecord(connection, recordNumber(index), std::span(buffer, length));
}

} // namespace quenlib
