#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tarvik {

// The lines of a language file (KEY=TRANSLATION), each with the hash of its key, the text
// before the first "=" (an empty key for a line without one). The application owns one
// table and passes it to whatever translates. Reading a language file happens here and
// nowhere else; the list of languages is editor/core/LanguageFiles, and translating a
// window is the shell's WindowTranslator.
class LanguageTable {
public:
    struct Line {
        std::string text;
        std::uint32_t keyHash = 0;
    };

    // Replaces the content with lines, each "^p" turned into CR LF before its key is hashed.
    void load(std::vector<std::string> lines);
    // Replaces the content with the lines of a language file's bytes (split at CR LF, LF
    // or CR).
    void loadBytes(std::string_view bytes);
    // The largest file loadFile takes: language files hold a few hundred short lines.
    static constexpr std::uintmax_t largestFile = 4 * 1024 * 1024;

    // Replaces the content with the language file at path. A file that cannot be read,
    // is not a regular file or is larger than largestFile leaves the table as it was and
    // gives false.
    bool loadFile(const std::string& path);

    const std::vector<Line>& lines() const { return lines_; }
    std::size_t size() const { return lines_.size(); }
    bool empty() const { return lines_.empty(); }

private:
    std::vector<Line> lines_;
};

// Text translated through table: the last line whose key hash equals the text's and that
// begins with the text gives at most 100 characters from after the character that follows
// the text (normally "="). The text itself when no line matches, when the table is empty or
// when the text is empty.
std::string TranslateText(const LanguageTable& table, std::string_view text);

} // namespace tarvik
