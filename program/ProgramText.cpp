#include "program/ProgramText.h"

#include "base/TextLines.h"

#include <cstddef>
#include <utility>

namespace tarvik {

ProgramText& ProgramText::operator=(const ProgramText& other) {
    if (this != &other) {
        lines_ = other.lines_;
        notify();
    }
    return *this;
}

void ProgramText::assign(std::vector<std::string> lines) {
    lines_ = std::move(lines);
    notify();
}

void ProgramText::setText(std::string_view text) {
    assign(SplitLines(text));
}

std::string ProgramText::text() const {
    return JoinLines(lines_);
}

void ProgramText::insert(std::size_t index, std::string line) {
    if (index >= lines_.size()) {
        lines_.push_back(std::move(line));
    } else {
        lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(index), std::move(line));
    }
    notify();
}

void ProgramText::erase(std::size_t index) {
    if (index >= lines_.size()) {
        return;
    }
    lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(index));
    notify();
}

void ProgramText::append(std::string line) {
    lines_.push_back(std::move(line));
    notify();
}

void ProgramText::clear() {
    lines_.clear();
    notify();
}

} // namespace tarvik
