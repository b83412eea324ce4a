#pragma once

#include <QString>
#include <string>
#include <vector>

class QPlainTextEdit;

namespace tarvik {

// Lines of 8-bit text in a memo, one line per paragraph.

// Lines first..last-1 joined with line breaks, as the memo shows them.
QString MemoText(const std::vector<std::string>& lines, std::size_t first, std::size_t last);

// Makes memo show lines, given the lines it shows now (shown). Only the block that differs
// is rewritten: a field edit changes one entry of a long program, and the memo should not
// lay out all of it again. The memo's signals are blocked meanwhile.
void ShowLines(QPlainTextEdit& memo, const std::vector<std::string>& shown,
               const std::vector<std::string>& lines);

} // namespace tarvik
