#include "editor/core/NotepadText.h"

namespace tarvik {
namespace {

void AddLine(std::string& text, std::string_view line) {
    text += line;
    text += "\r\n";
}

} // namespace

std::string NotepadText(std::string_view caption, std::string_view modelAndDate,
                        const std::vector<std::string>& notes,
                        const std::vector<std::string>& program) {
    std::string text;
    AddLine(text, caption);
    AddLine(text, modelAndDate);
    AddLine(text, "");
    for (const std::string& line : notes) {
        AddLine(text, line);
    }
    AddLine(text, "");
    for (const std::string& line : program) {
        AddLine(text, line);
    }
    return text;
}

} // namespace tarvik
