#include "editor/shell/mainwindow/StatusNote.h"

#include <QEvent>
#include <QMainWindow>
#include <QStatusBar>
#include <QStatusTipEvent>

namespace tarvik {

StatusNote& StatusNote::Of(QMainWindow& window) {
    auto* found =
        window.findChild<QObject*>(QStringLiteral("StatusNote"), Qt::FindDirectChildrenOnly);
    if (auto* note = dynamic_cast<StatusNote*>(found)) {
        return *note;
    }
    return *new StatusNote(window);
}

StatusNote::StatusNote(QMainWindow& window) : QObject(&window), window_(window) {
    setObjectName(QStringLiteral("StatusNote"));
    window.installEventFilter(this);
}

void StatusNote::showText(const QString& text) {
    text_ = text;
    if (text.isEmpty()) {
        window_.statusBar()->clearMessage();
    } else {
        window_.statusBar()->showMessage(text);
    }
}

bool StatusNote::eventFilter(QObject* watched, QEvent* event) {
    // The window clears the bar when the pointer leaves an item with a status tip; the
    // note comes back instead.
    if (watched == &window_ && event->type() == QEvent::StatusTip && !text_.isEmpty() &&
        static_cast<QStatusTipEvent*>(event)->tip().isEmpty()) {
        window_.statusBar()->showMessage(text_);
        return true;
    }
    return false;
}

} // namespace tarvik
