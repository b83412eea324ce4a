// The CSV reader on any text: a text is refused with its line and no rows, or read into
// records of at least one field, which written out again read back equal, with a byte
// order mark in front of them too.
#include "base/CsvTable.h"
#include "fuzz/FuzzCheck.h"

#include <cstdint>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using tarvik::fuzz::Check;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const tarvik::CsvTable table = tarvik::ParseCsv(text);
    if (!table.error.empty()) {
        Check(table.error.starts_with("line "), "a refusal names its line");
        Check(table.rows.empty(), "a refused text gives no rows");
        return 0;
    }
    std::string written;
    for (const auto& row : table.rows) {
        Check(!row.empty(), "every record has a field");
        written += tarvik::CsvRecord(row);
    }
    const tarvik::CsvTable again = tarvik::ParseCsv(written);
    Check(again.error.empty() && again.rows == table.rows, "what is written reads back equal");
    const tarvik::CsvTable marked = tarvik::ParseCsv("\xEF\xBB\xBF" + written);
    Check(marked.error.empty() && marked.rows == table.rows,
          "a byte order mark before the records changes nothing");
    return 0;
}
