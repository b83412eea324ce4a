#pragma once

// Edits of a PATH value (entries separated by ';', an entry with a ';' in double quotes): one
// folder added at the end when it is not there yet, and taken out again, while every other
// entry, empty ones and unexpanded %VARIABLES% included, stays as written.

#include <functional>
#include <string>
#include <string_view>

namespace installer {

// Gives an entry with its %VARIABLES% replaced by their values (the system's expansion).
using ExpandVariables = std::function<std::string(std::string_view)>;

struct PathEdit {
    std::string value;
    bool changed = false;
};

// Whether two entries name one folder: compared after expansion, without surrounding quotes
// and trailing backslashes, A-Z as a-z.
bool SamePathEntry(std::string_view a, std::string_view b, const ExpandVariables& expand);

// value with folder appended, unless an entry already names it.
PathEdit AppendPathEntry(std::string_view value, std::string_view folder,
                         const ExpandVariables& expand);
// value without the entries that name folder; the separators of the others stay.
PathEdit RemovePathEntry(std::string_view value, std::string_view folder,
                         const ExpandVariables& expand);

} // namespace installer
