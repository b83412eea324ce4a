#pragma once

#include "base/Signal.h"

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace tarvik {

// The SIM program as ordered lines of 8-bit text (the program memo). This is the master
// copy of the program: every view is derived from it. Every modifying call notifies the
// change listeners, even when the content ends up the same, because the editor counts any
// edit of the memo (New included) as an unsaved change.
//
// A copy carries the lines only: observers belong to the object they connected to.
class ProgramText {
public:
    using ChangeListener = std::function<void()>;

    ProgramText() = default;
    ProgramText(const ProgramText& other) : lines_(other.lines_) {}
    ProgramText& operator=(const ProgramText& other);

    const std::vector<std::string>& lines() const { return lines_; }
    std::size_t size() const { return lines_.size(); }
    bool empty() const { return lines_.empty(); }
    // The line at index; index must be below size().
    const std::string& line(std::size_t index) const { return lines_.at(index); }

    // Replaces all lines.
    void assign(std::vector<std::string> lines);
    // Replaces all lines with the memo text as typed, split at CR LF, LF or CR; a line
    // break at the very end does not begin another line.
    void setText(std::string_view text);
    // The lines joined with CR LF (no line break after the last line).
    std::string text() const;

    // Inserts before index; an index at or past the end appends.
    void insert(std::size_t index, std::string line);
    // Removes the line at index; an index past the end changes and notifies nothing.
    void erase(std::size_t index);
    void append(std::string line);
    void clear();

    // Observes every modifying call; the slot stays connected as long as the Connection.
    Connection connectChanged(ChangeListener listener) const {
        return changed_.connect(std::move(listener));
    }

private:
    void notify() const { changed_.notify(); }

    std::vector<std::string> lines_;
    Signal<> changed_;
};

} // namespace tarvik
