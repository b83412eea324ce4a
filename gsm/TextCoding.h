#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace gsm {

// The coding a text needs on the card.
enum class TextForm {
    SevenBit, // every character below 0080
    EightBit, // some character in 0080 ... 00FF, none above
    Ucs2,     // some character above 00FF
};

TextForm SelectTextForm(std::u16string_view text);

// Septet packing of 7-bit user data (3GPP TS 23.038 6.1.2.1.1): septet k starts at bit 7k,
// least significant bit first, and the last byte is padded with 0 bits. The one packer of
// short messages, on the card and through a modem; GsmAlphabet maps text to septets.
std::vector<std::uint8_t> PackSeptets(std::span<const std::uint8_t> septets);
// Unpacks `count` septets from septet `firstSeptet` on, or as many as the bytes hold.
std::vector<std::uint8_t> UnpackSeptets(std::span<const std::uint8_t> bytes, std::size_t count,
                                        std::size_t firstSeptet = 0);

// One byte per character (the low 8 bits of its code) and back.
std::vector<std::uint8_t> Encode8Bit(std::u16string_view text);
std::u16string Decode8Bit(std::span<const std::uint8_t> bytes);

// Big-endian byte pairs and back; an odd last byte is ignored.
std::vector<std::uint8_t> EncodeUcs2(std::u16string_view text);
std::u16string DecodeUcs2(std::span<const std::uint8_t> bytes);

} // namespace gsm
