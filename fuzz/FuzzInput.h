#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace tarvik::fuzz {

// The fuzz input read front to back as the choices and data of one run. Once it is used up
// every read gives 0 bytes, so a target never reads past it and always comes to an end.
class FuzzInput {
public:
    FuzzInput(const std::uint8_t* data, std::size_t size) : data_(data, size) {}

    bool empty() const { return position_ >= data_.size(); }

    std::uint8_t byte() { return empty() ? 0 : data_[position_++]; }

    std::uint16_t word() { return static_cast<std::uint16_t>(byte() << 8 | byte()); }

    bool flag() { return (byte() & 1) != 0; }

    // The next `count` bytes, or as many as are left.
    std::vector<std::uint8_t> bytes(std::size_t count) {
        const std::size_t taken = std::min(count, data_.size() - std::min(position_, data_.size()));
        std::vector<std::uint8_t> out(data_.begin() + static_cast<std::ptrdiff_t>(position_),
                                      data_.begin() +
                                          static_cast<std::ptrdiff_t>(position_ + taken));
        position_ += taken;
        return out;
    }

    // A count byte, then that many bytes.
    std::vector<std::uint8_t> counted() { return bytes(byte()); }

    // A count byte, then that many UTF-16 units of two bytes each.
    std::u16string text() {
        const std::size_t count = byte();
        std::u16string out;
        for (std::size_t i = 0; i < count && !empty(); ++i) {
            out.push_back(static_cast<char16_t>(word()));
        }
        return out;
    }

    // Everything not read yet.
    std::vector<std::uint8_t> rest() { return bytes(data_.size()); }

private:
    std::span<const std::uint8_t> data_;
    std::size_t position_ = 0;
};

} // namespace tarvik::fuzz
