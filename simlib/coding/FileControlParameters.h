#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace quenlib {

// What the library needs of the FCP template a UICC answers to SELECT with P2 = 04
// (ETSI TS 102 221 §11.1.1.3).
struct FileControlParameters {
    // Tag 82: the file descriptor byte, and for a record file its record length and count.
    std::uint8_t descriptor = 0;
    unsigned recordLength = 0;
    unsigned recordCount = 0;
    // Tag 80 (file size) or, without it, tag 81 (total file size); 0 when neither is there.
    unsigned size = 0;
    // Tag 8A: the life cycle status integer; nothing when absent.
    std::optional<std::uint8_t> lifeCycle;
    // Tag C6, the PIN status template: whether PIN1 (key reference 01) is enabled, from the
    // PS_DO (tag 90); nothing when the template does not name key reference 01.
    std::optional<bool> pin1Enabled;

    bool isDirectory() const { return (descriptor & 0x3F) == 0x38; }
    bool isRecordFile() const { return !isDirectory() && recordLength > 0; }
    // Life cycle "operational, deactivated" (ETSI TS 102 221 §11.1.1.4.9): 0000 01x0.
    bool isDeactivated() const { return lifeCycle && (*lifeCycle & 0xFD) == 0x04; }
};

// The FCP parsed, or why it could not be: exactly one of the two is set.
struct FcpParse {
    std::optional<FileControlParameters> fcp;
    std::string_view error;
};

// Parses an FCP template (tag 62 and its length first). Never reads outside `bytes`: a
// length past the end, a nested length that lies or a missing tag 82 gives an error.
FcpParse ParseFcp(std::span<const std::uint8_t> bytes);

} // namespace quenlib
