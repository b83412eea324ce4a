#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tarvik {

// The key of the program file scrambling: plain character k (1-based) is combined with
// programFileKey[k mod 17].
inline constexpr std::array<std::uint8_t, 17> programFileKey{0x3a, 0x91, 0x5e, 0xc7, 0x08, 0xb2,
                                                             0x64, 0x1d, 0xf3, 0x29, 0x8e, 0x70,
                                                             0xd5, 0x4b, 0xa6, 0x0c, 0x5f};

// Every plain byte XOR its key byte, as exactly three decimal digits (000..255).
std::string ScrambleText(std::string_view plain);

// The reverse of ScrambleText, applied to a file's content: line breaks (CR LF, LF or CR)
// are first made CR LF after every line, then each complete group of three characters is
// read as a decimal number (32 when it is not one), combined with its key byte and kept as
// one plain byte. One or two characters left over at the end are ignored.
std::string UnscrambleText(std::string_view digits);

// The first line of a program file: "SIM-0" followed by (model index + 3).
std::string ModelLine(int modelIndex);

// The separator between the notes and the program lines.
inline constexpr std::string_view kProgramSeparator = "SIM-PRG";

// The plain document: the model line, the notes, "SIM-PRG" and the program lines, each
// followed by CR LF.
std::string BuildPlainDocument(int modelIndex, std::span<const std::string> notes,
                               std::span<const std::string> program);

// The content of a plain document.
struct PlainDocument {
    // The model the file asks for: its model digit minus 3, raised to 0; a model character
    // that is not a digit counts as 1. May exceed the highest model (digits 6 to 9).
    int modelIndex = 0;
    std::vector<std::string> notes;
    std::vector<std::string> program;
};

// Parses a plain document; nothing when its first line does not begin with "SIM-" (an empty
// text included). The notes run until a line that is exactly "SIM-PRG"; every line after
// that is a program line. Without the separator all lines become notes.
std::optional<PlainDocument> ParsePlainDocument(std::string_view plain);

} // namespace tarvik
