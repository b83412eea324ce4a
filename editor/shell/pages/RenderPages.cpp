#include "editor/shell/pages/FormPages.h"

#include <QDir>
#include <QImage>
#include <QLayout>
#include <QPixmap>
#include <QScrollArea>
#include <QTabWidget>

namespace tarvik {

QWidget& PageOf(const QTabWidget& tabs, int index) {
    QWidget* tab = tabs.widget(index);
    if (auto* scroll = qobject_cast<QScrollArea*>(tab); scroll && scroll->widget()) {
        return *scroll->widget();
    }
    return *tab;
}

QStringList RenderPages(QTabWidget& tabs, const QString& folder, const QString& prefix) {
    QStringList files;
    if (!QDir().mkpath(folder)) {
        return files;
    }
    QWidget& window = *tabs.window();
    const int current = tabs.currentIndex();
    for (int i = 0; i < tabs.count(); ++i) {
        if (!tabs.isTabVisible(i)) {
            continue;
        }
        tabs.setCurrentIndex(i);
        window.ensurePolished();
        if (window.layout()) {
            window.layout()->activate();
        }
        const QString file = QDir(folder).filePath(QStringLiteral("%1-%2-%3.png")
                                                       .arg(prefix)
                                                       .arg(i + 1)
                                                       .arg(PageOf(tabs, i).objectName()));
        if (window.grab().toImage().save(file)) {
            files << file;
        }
    }
    tabs.setCurrentIndex(current);
    return files;
}

} // namespace tarvik
