#include "editor/shell/widgets/MemoEdit.h"

#include "editor/shell/widgets/QtText.h"

#include <QKeyEvent>
#include <QMimeData>
#include <QTextDocumentFragment>

namespace tarvik {
namespace {

constexpr char16_t kZeroWidthSpace = u'\u200b';
constexpr char16_t kWordJoiner = u'\u2060';

} // namespace

QString BreakingBetweenEntries(const QString& text) {
    QString shown;
    shown.reserve(text.size() + text.size() / 4);
    for (const QChar c : text) {
        shown.append(c);
        if (c == u';') {
            shown.append(QChar(kZeroWidthSpace));
        } else if (c == u'-' || c == u'/') {
            shown.append(QChar(kWordJoiner));
        }
    }
    return shown;
}

QString WithoutBreakMarks(QString text) {
    text.remove(QChar(kZeroWidthSpace));
    text.remove(QChar(kWordJoiner));
    return text;
}

void MemoEdit::ShowBreakingBetweenEntries(const QString& text) {
    setPlainText(BreakingBetweenEntries(text));
}

QMimeData* MemoEdit::createMimeDataFromSelection() const {
    auto* data = new QMimeData;
    data->setText(WithoutBreakMarks(textCursor().selection().toPlainText()));
    return data;
}

void MemoEdit::refuse() {
    if (onRefused) {
        onRefused();
    }
}

void MemoEdit::keyPressEvent(QKeyEvent* event) {
    if (!isReadOnly() && !event->text().isEmpty() && !ToWindows1252(event->text())) {
        refuse();
        event->accept();
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

bool MemoEdit::canInsertFromMimeData(const QMimeData* source) const {
    return source->hasText() && ToWindows1252(source->text()).has_value();
}

void MemoEdit::insertFromMimeData(const QMimeData* source) {
    if (!canInsertFromMimeData(source)) {
        refuse();
        return;
    }
    QPlainTextEdit::insertFromMimeData(source);
}

} // namespace tarvik
