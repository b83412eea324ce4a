#include "editor/shell/pages/MemoLines.h"

#include "editor/shell/widgets/QtText.h"

#include <QPlainTextEdit>
#include <QSignalBlocker>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

namespace tarvik {

QString MemoText(const std::vector<std::string>& lines, std::size_t first, std::size_t last) {
    std::string text;
    for (std::size_t i = first; i < last; ++i) {
        if (i > first) {
            text += '\n';
        }
        text += lines[i];
    }
    return FromWindows1252(text);
}

void ShowLines(QPlainTextEdit& memo, const std::vector<std::string>& shown,
               const std::vector<std::string>& lines) {
    const QSignalBlocker block(memo);
    if (shown.empty() || lines.empty()) {
        memo.setPlainText(MemoText(lines, 0, lines.size()));
        return;
    }
    std::size_t prefix = 0;
    while (prefix < shown.size() && prefix < lines.size() && shown[prefix] == lines[prefix]) {
        ++prefix;
    }
    std::size_t suffix = 0;
    while (suffix < shown.size() - prefix && suffix < lines.size() - prefix &&
           shown[shown.size() - 1 - suffix] == lines[lines.size() - 1 - suffix]) {
        ++suffix;
    }
    if (prefix == 0 && suffix == 0) {
        memo.setPlainText(MemoText(lines, 0, lines.size()));
        return;
    }
    QTextDocument& document = *memo.document();
    const int removedEnd = static_cast<int>(shown.size() - suffix);
    const std::size_t insertedEnd = lines.size() - suffix;
    QTextCursor cursor(&document);
    QString replacement;
    if (suffix > 0) {
        // Lines prefix.. up to the first common line at the end, each with its line break.
        cursor.setPosition(document.findBlockByNumber(static_cast<int>(prefix)).position());
        cursor.setPosition(document.findBlockByNumber(removedEnd).position(),
                           QTextCursor::KeepAnchor);
        if (insertedEnd > prefix) {
            replacement = MemoText(lines, prefix, insertedEnd) + u'\n';
        }
    } else {
        // Everything after the last common line, from its line break on.
        const QTextBlock last = document.findBlockByNumber(static_cast<int>(prefix) - 1);
        cursor.setPosition(last.position() + last.length() - 1);
        cursor.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
        if (insertedEnd > prefix) {
            replacement = u'\n' + MemoText(lines, prefix, insertedEnd);
        }
    }
    cursor.insertText(replacement);
}

} // namespace tarvik
