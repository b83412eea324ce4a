// Language files: any bytes load into a table, and looking texts up in it gives what the
// file says. The key of every line translates to the rest of its last line, cut to 100
// characters; "^p" never survives loading; a text holding "=" is never translated.
#include "base/TextLines.h"
#include "fuzz/FuzzCheck.h"
#include "program/LanguageTable.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace {

// Longest translation used, in characters.
constexpr std::size_t kMaxTranslation = 100;
// Below this length two different texts cannot share a key hash: the sum of their weighted
// bytes stays far under 2^32. Longer ones may collide, and then a lookup may legitimately
// pick another line.
constexpr std::size_t kNoCollisionLength = 1000;
// Lines whose lookups are checked: each lookup scans the whole table, so checking all of a
// file of thousands of short lines would slow the run a thousandfold for nothing new.
constexpr std::size_t kCheckedLines = 64;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tarvik;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    LanguageTable table;
    table.loadBytes(bytes);
    fuzz::Check(table.size() == SplitLines(bytes).size(), "one table line per file line");

    const auto& lines = table.lines();
    for (const auto& line : lines) {
        fuzz::Check(line.text.find("^p") == std::string::npos, "every ^p becomes a line break");
    }
    // Lookups are checked for the last lines of the file only.
    const std::size_t first = lines.size() > kCheckedLines ? lines.size() - kCheckedLines : 0;
    for (std::size_t i = first; i < lines.size(); ++i) {
        const std::string& line = lines[i].text;

        const std::size_t eq = line.find('=');
        if (eq == std::string::npos || eq == 0) {
            continue; // no key: the line never matches
        }
        const std::string key = line.substr(0, eq);
        bool overridden = false;
        for (std::size_t j = i + 1; j < lines.size() && !overridden; ++j) {
            overridden = lines[j].text.starts_with(key);
        }
        const std::string translation = TranslateText(table, key);
        if (!overridden) {
            fuzz::Check(translation == line.substr(eq + 1, kMaxTranslation),
                        "a key translates to the rest of its last line, at most 100 characters");
        }
        if (translation != key) {
            fuzz::Check(translation.size() <= kMaxTranslation, "a translation is cut to 100");
        }
        // The line's own text holds "=", and a key hash stops at the first one.
        if (line.size() < kNoCollisionLength) {
            fuzz::Check(TranslateText(table, line) == line, "a text with = is never translated");
        }
    }
    fuzz::Check(TranslateText(table, "") == "", "the empty text is never translated");
    return 0;
}
