#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace testpcsc {

using Bytes = std::vector<std::uint8_t>;

// One message as it crosses the card's TCP connection: a 2-byte big-endian length, then
// the bytes. Null when the message is longer than the length can say.
std::optional<Bytes> EncodeFrame(std::span<const std::uint8_t> message);

// The card's end of the reader: a loopback TCP port that the virtual card connects to. The
// card is in the reader while its connection stands.
class CardLink {
public:
    CardLink() = default;
    ~CardLink();
    CardLink(const CardLink&) = delete;
    CardLink& operator=(const CardLink&) = delete;

    // Listens on 127.0.0.1:port; false when the port cannot be bound.
    bool listen(std::uint16_t port);
    // Takes a card that is connecting, waiting at most `milliseconds`; true when a card
    // is (still) connected afterwards. A connection the card closed counts as removed.
    bool refresh(unsigned milliseconds);
    bool cardPresent() const { return card_ != invalid(); }

    // Sends one message and, when `expectAnswer`, receives one; null when the card went.
    std::optional<Bytes> exchange(std::span<const std::uint8_t> message, bool expectAnswer);

private:
    static std::uintptr_t invalid();
    void dropCard();
    bool readExactly(std::uint8_t* buffer, std::size_t size);

    std::uintptr_t listener_ = invalid();
    std::uintptr_t card_ = invalid();
};

} // namespace testpcsc
