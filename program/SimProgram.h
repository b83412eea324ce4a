#pragma once

#include "program/ProgramText.h"

#include <span>
#include <string>
#include <string_view>

namespace tarvik {

// The remote-programming text of the given program lines: every line whose name (the text
// before its first "=") is a program keyword, followed by ";", after one leading ";", cut
// into blocks of at most 160 characters (the leading ";" counts in the first) that are
// separated by an empty line (CR LF CR LF). Empty when no line is a keyword line.
std::string BuildRemoteText(std::span<const std::string> lines);

// The SIM program: its text (the master copy) and the remote-programming text derived from
// it. The remote text is rebuilt only by buildRemoteText(), which the editing primitives
// and the loaders call at the end of their work.
class SimProgram {
public:
    ProgramText& text() { return text_; }
    const ProgramText& text() const { return text_; }

    // The remote-programming text as last built; blocks are separated by an empty line and
    // lines are joined with CR LF.
    const std::string& remoteText() const { return remoteText_; }

    // Sets, replaces or removes (empty number) the entry of name: removes the first line
    // that begins with the name's key prefix, then inserts name "=" number in sorted
    // position ahead of the barrier (RR) lines, then rebuilds the remote text. An empty
    // name, or one shorter than its key prefix, changes nothing.
    void setProgramEntry(std::string_view name, std::string_view number);

    // Appends NormaliseNumber(name) "=" NormaliseNumber(number) without looking for an
    // older line; the remote text is not rebuilt.
    void appendProgramEntry(std::string_view name, std::string_view number);

    void buildRemoteText();

private:
    ProgramText text_;
    std::string remoteText_;
};

} // namespace tarvik
