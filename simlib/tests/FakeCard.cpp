#include "simlib/tests/FakeCard.h"

#include <algorithm>

namespace quenlib::fake {

namespace {

constexpr PcscCode kInsufficientBuffer = 0x80100008;

Bytes efResponse(std::uint16_t id, const FakeCard::RecordFile& file) {
    const unsigned size = file.recordLength * static_cast<unsigned>(file.records.size());
    Bytes response(15, 0x00);
    response[2] = static_cast<std::uint8_t>(size >> 8);
    response[3] = static_cast<std::uint8_t>(size & 0xFF);
    response[4] = static_cast<std::uint8_t>(id >> 8);
    response[5] = static_cast<std::uint8_t>(id & 0xFF);
    response[6] = 0x04;  // EF
    response[13] = 0x01; // linear fixed
    response[14] = static_cast<std::uint8_t>(file.recordLength);
    return response;
}

Bytes withStatus(Bytes data, std::uint8_t sw1, std::uint8_t sw2) {
    data.push_back(sw1);
    data.push_back(sw2);
    return data;
}

} // namespace

FakeCard::FakeCard() : dfResponse(34, 0x00) {
    dfResponse[6] = 0x02;  // DF
    dfResponse[13] = 0x00; // CHV1 enabled
    dfResponse[18] = 0x83; // CHV1: 3 attempts
    dfResponse[19] = 0x8A; // UNBLOCK CHV1: 10
    dfResponse[20] = 0x83; // CHV2: 3
    dfResponse[21] = 0x8A; // UNBLOCK CHV2: 10
}

FakeCard::RecordFile& FakeCard::addFile(std::uint16_t id, unsigned recordLength, unsigned count,
                                        std::uint16_t directory) {
    RecordFile& file = files[{directory, id}];
    file.recordLength = recordLength;
    file.records.assign(count, Bytes(recordLength, 0xFF));
    return file;
}

void FakeCard::removeFile(std::uint16_t id, std::uint16_t directory) {
    files.erase({directory, id});
}

std::vector<Bytes> FakeCard::sentWith(std::uint8_t ins) const {
    std::vector<Bytes> matching;
    std::copy_if(sent.begin(), sent.end(), std::back_inserter(matching),
                 [ins](const Bytes& apdu) { return apdu.size() > 1 && apdu[1] == ins; });
    return matching;
}

PcscCode FakeCard::establishContext(ContextHandle& context) {
    context = 7;
    ++contextsEstablished;
    return contextResult;
}

PcscCode FakeCard::releaseContext(ContextHandle) {
    ++contextsReleased;
    return kPcscSuccess;
}

PcscCode FakeCard::listReaders(ContextHandle, std::vector<std::string>& list) {
    list = readers;
    return readers.empty() ? kPcscNoReadersAvailable : kPcscSuccess;
}

PcscCode FakeCard::readerStatus(ContextHandle, const std::string& reader, ReaderStatus& status) {
    status.present = cardIn[reader];
    status.empty = !status.present;
    status.atr = status.present ? atr : Bytes{};
    return statusResult;
}

PcscCode FakeCard::connect(ContextHandle, const std::string& reader, ShareMode mode,
                           CardHandle& card, Protocol& activeProtocol) {
    connectedReaders.push_back(reader);
    connectModes.push_back(mode);
    const std::size_t attempt = connectModes.size() - 1;
    const PcscCode result =
        attempt < connectResults.size() ? connectResults[attempt] : kPcscSuccess;
    activeProtocol = attempt < connectProtocols.size() ? connectProtocols[attempt] : Protocol::T0;
    card = nextHandle++;
    return result;
}

PcscCode FakeCard::disconnect(CardHandle, Disposition disposition) {
    disconnects.push_back(disposition);
    return kPcscSuccess;
}

PcscCode FakeCard::transmit(CardHandle, Protocol, std::span<const std::uint8_t> command,
                            std::span<std::uint8_t> receive, std::size_t& received) {
    const Bytes apdu(command.begin(), command.end());
    sent.push_back(apdu);
    declaredReceive.push_back(receive.size());
    received = 0;
    if (transmitFailure) {
        if (const auto failure = transmitFailure(apdu)) {
            return *failure;
        }
    }
    std::optional<Bytes> reply;
    if (answer) {
        reply = answer(apdu);
    }
    const Bytes out = reply ? *reply : respond(apdu);
    if (out.size() > receive.size()) {
        return kInsufficientBuffer;
    }
    std::copy(out.begin(), out.end(), receive.begin());
    received = out.size();
    return kPcscSuccess;
}

Bytes FakeCard::respond(const Bytes& apdu) {
    if (apdu.size() < 4 || apdu[0] != 0xA0) {
        return {0x6E, 0x00};
    }
    const std::uint8_t ins = apdu[1];
    const std::uint8_t p1 = apdu[2];
    const std::uint8_t p3 = apdu.size() > 4 ? apdu[4] : 0;
    switch (ins) {
    case 0xA4: {
        if (apdu.size() < 7) {
            return {0x67, 0x00};
        }
        const auto id = static_cast<std::uint16_t>(apdu[5] << 8 | apdu[6]);
        if (std::find(directories.begin(), directories.end(), id) != directories.end()) {
            currentDirectory = id;
            current.reset();
            pending = dfResponse;
        } else if (const auto found = files.find({currentDirectory, id}); found != files.end()) {
            current = id;
            pending = efResponse(id, found->second);
        } else {
            return {0x94, 0x04};
        }
        currentRecord = 0;
        return {0x9F, static_cast<std::uint8_t>(pending.size())};
    }
    case 0xC0: {
        const std::size_t length = p3 == 0 ? 256 : p3;
        if (pending.empty() || length > pending.size()) {
            return {0x67, static_cast<std::uint8_t>(pending.size())};
        }
        return withStatus(Bytes(pending.begin(), pending.begin() + length), 0x90, 0x00);
    }
    case 0xB2:
    case 0xDC: {
        const auto found = current ? files.find({currentDirectory, *current}) : files.end();
        if (found == files.end()) {
            return {0x94, 0x00};
        }
        RecordFile& file = found->second;
        const unsigned number = p1 == 0 ? currentRecord : p1;
        if (number == 0 || number > file.records.size()) {
            return {0x94, 0x02};
        }
        if (p3 != file.recordLength) {
            return {0x67, static_cast<std::uint8_t>(file.recordLength)};
        }
        Bytes& record = file.records[number - 1];
        currentRecord = number;
        if (ins == 0xB2) {
            return withStatus(record, 0x90, 0x00);
        }
        if (apdu.size() != 5u + p3) {
            return {0x67, 0x00};
        }
        record.assign(apdu.begin() + 5, apdu.end());
        return {0x90, 0x00};
    }
    case 0x20:
    case 0x24:
    case 0x26:
    case 0x28:
    case 0x2C:
        return chvStatus;
    default:
        return {0x6D, 0x00};
    }
}

} // namespace quenlib::fake
