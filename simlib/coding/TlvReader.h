#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace quenlib {

// One BER-TLV data object of a single-byte tag, its value inside the bytes read.
struct DataObject {
    std::uint8_t tag = 0;
    std::span<const std::uint8_t> value;
};

// Reads the data objects of a card's file or answer one after another (ISO/IEC 8825-1
// lengths: one byte, or 81/82 and one or two more), refusing any whose length runs past the
// end. FF where a tag would start is padding: the objects end there.
class TlvReader {
public:
    explicit TlvReader(std::span<const std::uint8_t> bytes) : rest_(bytes) {}

    bool atEnd() const { return rest_.empty() || rest_[0] == 0xFF; }

    // The next object; nothing (and `error` set) when it does not fit.
    std::optional<DataObject> next(std::string_view& error) {
        if (rest_.size() < 2) {
            error = "a data object is cut short";
            return std::nullopt;
        }
        const std::uint8_t tag = rest_[0];
        std::size_t length = rest_[1];
        std::size_t header = 2;
        if (length == 0x81 || length == 0x82) {
            const std::size_t extra = length - 0x80;
            if (rest_.size() < 2 + extra) {
                error = "a data object's length is cut short";
                return std::nullopt;
            }
            length = extra == 1 ? rest_[2] : (std::size_t{rest_[2]} << 8 | rest_[3]);
            header += extra;
        } else if (length > 0x7F) {
            error = "a data object has a length form the card does not use";
            return std::nullopt;
        }
        if (rest_.size() - header < length) {
            error = "a data object's length runs past the end";
            return std::nullopt;
        }
        const DataObject object{tag, rest_.subspan(header, length)};
        rest_ = rest_.subspan(header + length);
        return object;
    }

private:
    std::span<const std::uint8_t> rest_;
};

} // namespace quenlib
