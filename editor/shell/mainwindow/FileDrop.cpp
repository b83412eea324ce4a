#include "editor/shell/mainwindow/FileDrop.h"

#include <QApplication>
#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QTimer>
#include <QUrl>
#include <QWidget>

namespace tarvik {

FileDrop::FileDrop(QWidget& window, std::function<void(const QString&)> open)
    : QObject(&window), window_(window), open_(std::move(open)) {
    window.setAcceptDrops(true);
    qApp->installEventFilter(this);
}

std::optional<QString> FileDrop::ProgramFile(const QMimeData& data) {
    const QList<QUrl> urls = data.urls();
    if (urls.size() != 1 || !urls.front().isLocalFile()) {
        return std::nullopt;
    }
    const QString path = urls.front().toLocalFile();
    if (QFileInfo(path).suffix().compare(QStringLiteral("sim"), Qt::CaseInsensitive) != 0) {
        return std::nullopt;
    }
    return path;
}

bool FileDrop::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop) {
        return false;
    }
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget || widget->window() != &window_) {
        return false;
    }
    auto* drop = static_cast<QDropEvent*>(event);
    const auto path = drop->mimeData() ? ProgramFile(*drop->mimeData()) : std::nullopt;
    if (!path) {
        return false;
    }
    drop->acceptProposedAction();
    if (type == QEvent::Drop) {
        // The question about unsaved changes waits until the drag has ended, so the program
        // the file came from is not held up by it.
        QTimer::singleShot(0, this, [this, file = *path] { open_(file); });
    }
    return true;
}

} // namespace tarvik
