#pragma once

// The text files the installer reads and writes (the install list in a package, the record of
// an install): UTF-8 lines in sections. A line is a section header "[name]", a keyed line
// "key = value", a bare item (a file name), a comment starting with ';' or '#', or blank.
// Blanks around names, keys and values do not count; CR LF ends a line as LF does.

#include "installer/Outcome.h"

#include <string>
#include <string_view>
#include <vector>

namespace installer {

struct ListLine {
    int number = 0;     // in the file, from 1
    bool keyed = false; // "key = value" rather than a bare item
    std::string key;    // keyed lines only
    std::string value;  // the value, or the whole bare item
};

struct ListSection {
    std::string name;
    int number = 0; // the header's line
    std::vector<ListLine> lines;
};

// The sections in file order. Refused, with the line's number: text that is not UTF-8 or holds
// a NUL, a header without its ']' or with an empty name, a section named twice, a line before
// the first header, a key line with an empty key.
Outcome<std::vector<ListSection>> ReadListFile(std::string_view text);

} // namespace installer
