#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>

namespace gsm {

// Reads a record front to back where every length comes from the record itself: a field
// that claims more bytes than are left yields what is left, and reading past the end
// yields 0 bytes, so no length can lead outside the record.
class ByteReader {
public:
    explicit ByteReader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

    // The next byte, or 0 once the record is used up.
    std::uint8_t byte() {
        if (position_ >= bytes_.size()) {
            return 0;
        }
        return bytes_[position_++];
    }

    // The next `count` bytes, or as many as are left.
    std::span<const std::uint8_t> take(std::size_t count) {
        const std::size_t available = bytes_.size() - std::min(position_, bytes_.size());
        const auto taken = bytes_.subspan(bytes_.size() - available, std::min(count, available));
        position_ += taken.size();
        return taken;
    }

    void skip(std::size_t count) { take(count); }

    // Everything not read yet.
    std::span<const std::uint8_t> rest() { return take(bytes_.size()); }

    bool atEnd() const { return position_ >= bytes_.size(); }

private:
    std::span<const std::uint8_t> bytes_;
    std::size_t position_ = 0;
};

} // namespace gsm
