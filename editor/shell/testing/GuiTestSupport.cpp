#include "editor/shell/testing/GuiTestSupport.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFontMetricsF>
#include <QKeyEvent>
#include <QLayout>
#include <QPixmap>
#include <gtest/gtest.h>

namespace tarvik::testing {

TestFolder::TestFolder() {
    if (!dir_.isValid()) {
        ADD_FAILURE() << "cannot create a temporary folder";
    }
}

QString TestFolder::Write(const QString& name, const QByteArray& bytes) const {
    const QString path = file(name);
    QFile out(path);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate) || out.write(bytes) != bytes.size()) {
        ADD_FAILURE() << "cannot write " << path.toStdString();
    }
    return path;
}

QString ShownTitle(const QWidget& window) {
    QString title = window.windowTitle();
    return title.replace(QStringLiteral("[*]"),
                         window.isWindowModified() ? QStringLiteral("*") : QString());
}

bool AdvancesEvenly(const QFont& font) {
    const QFontMetricsF metrics(font);
    const qreal width = metrics.horizontalAdvance(u'W');
    for (const char16_t c : u"il.0 M") {
        if (c != u'\0' && metrics.horizontalAdvance(QChar(c)) != width) {
            return false;
        }
    }
    return width > 0;
}

std::unique_ptr<Settings> TestFolder::OpenSettings() const {
    return Settings::OpenFile(file(QStringLiteral("settings.ini")));
}

void TypeText(QWidget& widget, const QString& text) {
    for (const QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(&widget, &press);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(&widget, &release);
    }
}

QImage RenderWidget(QWidget& widget, const QString& name) {
    widget.ensurePolished();
    if (widget.layout()) {
        widget.layout()->activate();
    }
    const QImage image = widget.grab().toImage();
    const QString folder = qEnvironmentVariable("TARVIK_SCREENSHOTS");
    if (!folder.isEmpty()) {
        QDir().mkpath(folder);
        image.save(QDir(folder).filePath(name + QStringLiteral(".png")));
    }
    return image;
}

} // namespace tarvik::testing
