#include "simlib/tests/FakeCard.h"

#include "tools/simcard/core/CardSettings.h"

#include <algorithm>
#include <stdexcept>

namespace quenlib::fake {

namespace {

constexpr PcscCode kInsufficientBuffer = 0x80100008;

simcard::CardImage bareCard() {
    simcard::CardSettings settings;
    settings.pin1Enabled = false;
    auto image = simcard::CardImage::create(settings);
    for (const std::uint16_t id : image.filesIn(simcard::DfTelecom)) {
        image.removeFile({simcard::DfTelecom, id});
    }
    return image;
}

} // namespace

FakeCard::FakeCard() : card_(bareCard()) {}

FakeCard::FakeCard(const simcard::CardSettings& settings)
    : card_(simcard::CardImage::create(settings)) {}

FakeCard::RecordFile& FakeCard::addFile(std::uint16_t id, unsigned recordLength, unsigned count,
                                        std::uint16_t directory) {
    return card_.image().addRecordFile({directory, id}, static_cast<int>(count),
                                       static_cast<int>(recordLength), Bytes(recordLength, 0xFF));
}

void FakeCard::removeFile(std::uint16_t id, std::uint16_t directory) {
    card_.image().removeFile({directory, id});
}

FakeCard::RecordFile& FakeCard::file(std::uint16_t id, std::uint16_t directory) {
    if (auto* found = card_.image().find({directory, id})) {
        return *found;
    }
    throw std::out_of_range("the card has no such file");
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
    if (disposition == Disposition::EjectCard) {
        // Powered down: the next connection finds it at the MF with no code verified.
        card_.reset();
    }
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
    const Bytes out = reply ? *reply : card_.process(apdu);
    if (out.size() > receive.size()) {
        return kInsufficientBuffer;
    }
    std::copy(out.begin(), out.end(), receive.begin());
    received = out.size();
    return kPcscSuccess;
}

} // namespace quenlib::fake
