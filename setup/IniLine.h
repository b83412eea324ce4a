#pragma once

#include <string>
#include <string_view>

namespace setup {

// What one line of a configuration file is, and what it carries.
struct IniLine {
    enum class Kind { Section, Key, Comment, Ignored, Malformed };

    Kind kind = Kind::Ignored;
    std::string name;  // the section name or the key
    std::string value; // the value of a key line, exactly as written
};

// Classifies one line (without its line end):
// - leading blanks and tabs are skipped;
// - ";" starts a comment;
// - "[" starts a section header whose name runs up to the last "]", untrimmed; text after that
//   "]" is dropped. A "[" with no "]" after it is Malformed: the line cannot say which section
//   the following keys belong to, and guessing could hand a program to the wrong section, so
//   loading stops there;
// - a line holding "=" is a key line: the key is the text before the first "=", cut at its
//   first blank or tab; the value is everything after the first "=", untouched;
// - anything else, an empty line included, is ignored.
IniLine ClassifyIniLine(std::string_view line);

} // namespace setup
