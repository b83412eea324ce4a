#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tarvik {

// The text Send to Notepad hands to the text editor: the window caption, the model and the
// date ("TQ4+ BARRIER, 2026/Dec/07, 16:25"), an empty line, the notes, an empty line and
// the program lines, every line ending in CR LF. Texts are 8-bit, as the program keeps
// them.
std::string NotepadText(std::string_view caption, std::string_view modelAndDate,
                        const std::vector<std::string>& notes,
                        const std::vector<std::string>& program);

} // namespace tarvik
