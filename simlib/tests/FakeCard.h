#pragma once

#include "simlib/CardBackend.h"
#include "tools/simcard/core/CardImage.h"
#include "tools/simcard/core/CardSettings.h"
#include "tools/simcard/core/SimCard.h"

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace quenlib::fake {

using Bytes = std::vector<std::uint8_t>;

// The virtual card's GSM 11.11 command handler behind the card backend, so that the unit
// tests see the card the card tests see. Around it: a reader side (readers, cards in them,
// their answer-to-reset, results of each PC/SC call), hooks that replace any answer or fail
// any exchange, and a log of every APDU sent and every receive buffer declared.
//
// The card starts with DF Telecom, DF GSM and no elementary files, CHV1 disabled; tests add
// the files they need and change records directly.
class FakeCard : public CardBackend {
public:
    using RecordFile = simcard::ElementaryFile;

    FakeCard();
    // A whole card made from settings, as simcard makes a new image (a UICC among them).
    explicit FakeCard(const simcard::CardSettings& settings);

    static constexpr std::uint16_t kTelecom = 0x7F10;

    // Creates (or replaces) an EF of `directory` with `count` all-FF records.
    RecordFile& addFile(std::uint16_t id, unsigned recordLength, unsigned count,
                        std::uint16_t directory = kTelecom);
    void removeFile(std::uint16_t id, std::uint16_t directory = kTelecom);
    RecordFile& file(std::uint16_t id, std::uint16_t directory = kTelecom);
    void addDirectory(std::uint16_t id) { card_.image().addDirectory(id); }
    // The card's files and codes with their counters.
    simcard::CardImage& image() { return card_.image(); }

    // Answers an APDU instead of the card when it returns a value.
    std::function<std::optional<Bytes>(const Bytes& apdu)> answer;
    // The PC/SC result of a transmit instead of the card's answer when it returns a value.
    std::function<std::optional<PcscCode>(const Bytes& apdu)> transmitFailure;

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
    simcard::SimCard card_;
    int nextHandle = 100;
};

} // namespace quenlib::fake
