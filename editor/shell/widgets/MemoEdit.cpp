#include "editor/shell/widgets/MemoEdit.h"

#include "editor/shell/widgets/QtText.h"

#include <QKeyEvent>
#include <QMimeData>

namespace tarvik {

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
