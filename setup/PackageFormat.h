#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

// The layout of the package appended to the setup stub. All integers are unsigned 32-bit
// little-endian, and every stored offset counts from the start of the stub's file.
//
//   stub image | PackageHeader | file data | name table | directory | trailer (u32 P)
namespace setup {

inline constexpr std::array<unsigned char, 16> kPackageSignature = {
    0xb5, 0x4b, 0x3d, 0x05, 0x6f, 0x4b, 0x93, 0xa4, 0xb4, 0xd7, 0xb4, 0x9f, 0xdb, 0x36, 0x7e, 0x49};

inline constexpr std::size_t kHeaderSize = 24;
inline constexpr std::size_t kRecordSize = 20;
inline constexpr std::size_t kTrailerSize = 4;
// A name's length word counts the terminating NUL; 258 characters at most.
inline constexpr std::uint32_t kMaxNameLength = 259;

inline constexpr std::uint32_t kTypeFile = 1;
inline constexpr std::uint32_t kTypeFolder = 2;

struct PackageHeader {
    std::array<unsigned char, 16> signature = kPackageSignature;
    std::uint32_t entryCount = 0;
    std::uint32_t directoryOffset = 0;
};

// One directory record and the name it points to.
struct PackageEntry {
    std::uint32_t type = 0;
    std::uint32_t nameOffset = 0;
    std::uint32_t fileSize = 0;
    std::uint32_t storedSize = 0;
    std::uint32_t dataOffset = 0;
    std::string name;

    // Only bit 0 of the type tells a file from a folder.
    bool isFile() const { return (type & 1u) != 0; }
};

inline std::uint32_t ReadU32(std::span<const char> bytes, std::size_t at) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < 4; ++i) {
        value |= static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at + i])) << (8 * i);
    }
    return value;
}

inline void AppendU32(std::string& out, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        out += static_cast<char>((value >> (8 * i)) & 0xFFu);
    }
}

// The 24 header bytes of `header`.
std::string EncodeHeader(const PackageHeader& header);
// The 20 record bytes of `entry` (its name is stored elsewhere).
std::string EncodeRecord(const PackageEntry& entry);
// Reads the record fields of a 20-byte record into `entry`, leaving its name alone.
void DecodeRecord(std::span<const char, kRecordSize> record, PackageEntry& entry);

} // namespace setup
