#pragma once

#include "simlib/CardBackend.h"

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace quenlib::fake {

using Bytes = std::vector<std::uint8_t>;

// A simulated GSM SIM behind the card backend: DF Telecom (and any other directory added)
// with record files, CHV1 state in the DF response, and hooks that replace any answer or
// fail any PC/SC call. Every APDU sent and every receive buffer declared is logged.
class FakeCard : public CardBackend {
public:
    struct RecordFile {
        unsigned recordLength = 0;
        std::vector<Bytes> records;
    };

    FakeCard();

    static constexpr std::uint16_t kTelecom = 0x7F10;

    // Creates (or replaces) an EF of `directory` with `count` all-FF records.
    RecordFile& addFile(std::uint16_t id, unsigned recordLength, unsigned count,
                        std::uint16_t directory = kTelecom);
    void removeFile(std::uint16_t id, std::uint16_t directory = kTelecom);
    RecordFile& file(std::uint16_t id, std::uint16_t directory = kTelecom) {
        return files.at({directory, id});
    }
    void addDirectory(std::uint16_t id) { directories.push_back(id); }

    // The DF Telecom response; bytes 14 and 19 ... 22 hold the CHV state.
    Bytes dfResponse;

    // Answers an APDU instead of the card when it returns a value.
    std::function<std::optional<Bytes>(const Bytes& apdu)> answer;
    // The PC/SC result of a transmit instead of the card's answer when it returns a value.
    std::function<std::optional<PcscCode>(const Bytes& apdu)> transmitFailure;
    // Status word for CHV commands.
    Bytes chvStatus{0x90, 0x00};

    PcscCode contextResult = kPcscSuccess;
    std::vector<std::string> readers{"Fake Reader 00 00"};
    std::map<std::string, bool> cardIn{{"Fake Reader 00 00", true}};
    // The answer-to-reset of every card; the result of the reader status query.
    Bytes atr{0x3B, 0x02, 0x14, 0x50};
    PcscCode statusResult = kPcscSuccess;
    // Results of successive connect calls; empty means success.
    std::vector<PcscCode> connectResults;
    std::vector<Protocol> connectProtocols;

    // Logs.
    std::vector<Bytes> sent;
    std::vector<std::size_t> declaredReceive;
    std::vector<std::string> connectedReaders;
    std::vector<ShareMode> connectModes;
    std::vector<Disposition> disconnects;
    int contextsEstablished = 0;
    int contextsReleased = 0;

    // The APDUs sent with instruction byte `ins`.
    std::vector<Bytes> sentWith(std::uint8_t ins) const;

    PcscCode establishContext(ContextHandle& context) override;
    PcscCode releaseContext(ContextHandle context) override;
    PcscCode listReaders(ContextHandle context, std::vector<std::string>& list) override;
    PcscCode readerStatus(ContextHandle context, const std::string& reader,
                          ReaderStatus& status) override;
    PcscCode connect(ContextHandle context, const std::string& reader, ShareMode mode,
                     CardHandle& card, Protocol& activeProtocol) override;
    PcscCode disconnect(CardHandle card, Disposition disposition) override;
    PcscCode transmit(CardHandle card, Protocol protocol, std::span<const std::uint8_t> command,
                      std::span<std::uint8_t> receive, std::size_t& received) override;

private:
    Bytes respond(const Bytes& apdu);

    std::vector<std::uint16_t> directories{kTelecom};
    std::map<std::pair<std::uint16_t, std::uint16_t>, RecordFile> files;
    std::uint16_t currentDirectory = 0x3F00;
    std::optional<std::uint16_t> current;
    // The record last read or updated; 0 after a SELECT. Record number 0 in absolute mode
    // addresses it, as on a real card.
    unsigned currentRecord = 0;
    Bytes pending;
    int nextHandle = 100;
};

} // namespace quenlib::fake
