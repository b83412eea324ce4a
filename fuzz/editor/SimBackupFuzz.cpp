// The SIM backup parser on any text: a file is refused with the line at fault, or read into
// records of the geometry it declares, which written out again read back equal.
#include "editor/sim/SimBackup.h"
#include "fuzz/FuzzCheck.h"

#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using tarvik::fuzz::Check;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const tarvik::ParsedBackup parsed = tarvik::ParseBackup(text);
    if (!parsed.backup) {
        Check(parsed.error.starts_with("line "), "a refusal names the line at fault");
        return 0;
    }
    const tarvik::SimBackup& backup = *parsed.backup;
    for (const auto& record : backup.adn) {
        Check(static_cast<int>(record.size()) == backup.adnRecordLength,
              "every ADN record has the declared length");
    }
    for (const auto& record : backup.ext1) {
        Check(record.size() == tarvik::kExt1RecordLength, "every EXT1 record has 13 bytes");
    }
    const tarvik::ParsedBackup again = tarvik::ParseBackup(tarvik::FormatBackup(backup));
    Check(again.backup && *again.backup == backup, "a backup written out reads back equal");
    return 0;
}
