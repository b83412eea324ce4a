// The SIM backup parser on any text: a file is refused with the line at fault, or read into
// records of the geometry it declares, and an accepted file is the very file this program
// writes for that backup. Each input is tried as it is and sealed with its right checksum,
// so that changed lines reach the checks behind the checksum.
#include "editor/sim/SimBackup.h"
#include "fuzz/FuzzCheck.h"

#include <array>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace {

// CRC-32 of ISO 3309, written here apart from the program's own.
std::uint32_t Crc32(std::string_view bytes) {
    std::uint32_t crc = 0xFFFFFFFFu;
    for (const char byte : bytes) {
        crc ^= static_cast<std::uint8_t>(byte);
        for (int bit = 0; bit < 8; ++bit) {
            crc = (crc & 1) != 0 ? 0xEDB88320u ^ (crc >> 1) : crc >> 1;
        }
    }
    return crc ^ 0xFFFFFFFFu;
}

// The text without its last "crc32" line, followed by the checksum it should have.
std::string Sealed(std::string_view text) {
    const std::size_t last = text.rfind("\ncrc32 ");
    std::string body(last == std::string_view::npos ? text : text.substr(0, last + 1));
    std::array<char, 16> checksum{};
    std::snprintf(checksum.data(), checksum.size(), "%08X", Crc32(body));
    return body + "crc32 " + checksum.data() + "\n";
}

// The lines of a backup text as the writer would put them: line ends taken as LF, hex
// digits in either case, the checksum line left out (it covers the line ends as they are).
std::vector<std::string> WrittenLines(std::string_view text) {
    std::vector<std::string> lines;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string line(text.substr(0, end));
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        for (char& c : line) {
            c = c >= 'a' && c <= 'f' ? static_cast<char>(c - 'a' + 'A') : c;
        }
        lines.push_back(std::move(line));
    }
    if (!lines.empty()) {
        lines.pop_back();
    }
    return lines;
}

void CheckBackupText(std::string_view text) {
    using tarvik::fuzz::Check;
    const tarvik::ParsedBackup parsed = tarvik::ParseBackup(text);
    if (!parsed.backup) {
        Check(parsed.error.starts_with("line "), "a refusal names the line at fault");
        return;
    }
    const tarvik::SimBackup& backup = *parsed.backup;
    for (const auto& record : backup.adn) {
        Check(static_cast<int>(record.size()) == backup.adnRecordLength,
              "every ADN record has the declared length");
    }
    for (const auto& record : backup.ext1) {
        Check(record.size() == tarvik::kExt1RecordLength, "every EXT1 record has 13 bytes");
    }
    const std::string written = tarvik::FormatBackup(backup);
    Check(WrittenLines(text) == WrittenLines(written),
          "an accepted file is what the writer writes for its backup");
    const tarvik::ParsedBackup again = tarvik::ParseBackup(written);
    Check(again.backup && *again.backup == backup, "a backup written out reads back equal");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    CheckBackupText(text);
    CheckBackupText(Sealed(text));
    return 0;
}
