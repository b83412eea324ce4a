#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace quenlib {

// Fields packed most significant bit first, as the CDMA short message parameters pack them.
// Reading past the end yields 0 bits; exhausted() then says that the field was cut.
class BitReader {
public:
    explicit BitReader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

    // The next `count` (at most 32) bits as a number.
    std::uint32_t bits(unsigned count) {
        std::uint32_t value = 0;
        for (unsigned i = 0; i < count; ++i) {
            value <<= 1;
            const std::size_t byte = position_ / 8;
            if (byte < bytes_.size()) {
                value |= (bytes_[byte] >> (7 - position_ % 8)) & 1u;
            } else {
                exhausted_ = true;
            }
            ++position_;
        }
        return value;
    }

    // Whether `count` more bits are there to read.
    bool has(std::size_t count) const { return position_ + count <= bytes_.size() * 8; }
    bool exhausted() const { return exhausted_; }

private:
    std::span<const std::uint8_t> bytes_;
    std::size_t position_ = 0;
    bool exhausted_ = false;
};

class BitWriter {
public:
    // Appends the low `count` (at most 32) bits of `value`.
    void put(std::uint32_t value, unsigned count) {
        for (unsigned i = count; i-- > 0;) {
            if (position_ % 8 == 0) {
                bytes_.push_back(0);
            }
            if ((value >> i) & 1u) {
                bytes_.back() = static_cast<std::uint8_t>(bytes_.back() | 0x80u >> (position_ % 8));
            }
            ++position_;
        }
    }

    // The bytes written, the last one padded with 0 bits.
    const std::vector<std::uint8_t>& bytes() const { return bytes_; }

private:
    std::vector<std::uint8_t> bytes_;
    std::size_t position_ = 0;
};

} // namespace quenlib
