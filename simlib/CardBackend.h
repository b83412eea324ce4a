#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace quenlib {

// A PC/SC result code; 0 is success.
using PcscCode = std::uint32_t;

inline constexpr PcscCode kPcscSuccess = 0;
inline constexpr PcscCode kPcscRemovedCard = 0x80100069;
inline constexpr PcscCode kPcscSharingViolation = 0x8010000B;
inline constexpr PcscCode kPcscNoSmartcard = 0x8010000C;
inline constexpr PcscCode kPcscNoReadersAvailable = 0x8010002E;

using ContextHandle = std::intptr_t;
using CardHandle = std::intptr_t;

enum class ShareMode { Exclusive, Shared };
enum class Disposition { LeaveCard, EjectCard };
enum class Protocol { Undefined, T0, T1, Raw };

// A reader's state: whether it holds a card, whether it says it is empty, the card's
// answer-to-reset.
struct ReaderStatus {
    bool present = false;
    bool empty = true;
    std::vector<std::uint8_t> atr;
};

// The PC/SC calls the library makes. The real implementation talks to pcsc-lite; tests
// put a simulated card behind it.
class CardBackend {
public:
    virtual ~CardBackend() = default;

    virtual PcscCode establishContext(ContextHandle& context) = 0;
    virtual PcscCode releaseContext(ContextHandle context) = 0;
    virtual PcscCode listReaders(ContextHandle context, std::vector<std::string>& readers) = 0;
    // What the reader reports now, without waiting.
    virtual PcscCode readerStatus(ContextHandle context, const std::string& reader,
                                  ReaderStatus& status) = 0;
    virtual PcscCode connect(ContextHandle context, const std::string& reader, ShareMode mode,
                             CardHandle& card, Protocol& activeProtocol) = 0;
    virtual PcscCode disconnect(CardHandle card, Disposition disposition) = 0;
    // Sends `command` and receives at most receive.size() bytes; `received` is their count.
    virtual PcscCode transmit(CardHandle card, Protocol protocol,
                              std::span<const std::uint8_t> command,
                              std::span<std::uint8_t> receive, std::size_t& received) = 0;
};

} // namespace quenlib
