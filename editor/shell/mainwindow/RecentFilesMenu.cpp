#include "editor/shell/mainwindow/RecentFilesMenu.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QStyleOptionMenuItem>

namespace tarvik {
namespace {

// The action's data: its path, and whether the file was missing when the menu was built.
constexpr char kMissingProperty[] = "missingFile";

} // namespace

RecentFilesMenu::RecentFilesMenu(QWidget& parent, std::function<void(const QString&)> choose)
    : QMenu(&parent), choose_(std::move(choose)) {
    setObjectName(QStringLiteral("RecentFilesMenu"));
    menuAction()->setObjectName(QStringLiteral("RecentFiles1"));
    menuAction()->setText(QStringLiteral("Recent files"));
    setTitle(QStringLiteral("Recent files"));
    // Files come and go while the program runs.
    connect(this, &QMenu::aboutToShow, this, [this] {
        for (QAction* item : actions()) {
            item->setProperty(kMissingProperty, !QFileInfo::exists(item->data().toString()));
        }
    });
}

void RecentFilesMenu::listFiles(const QStringList& files) {
    clear();
    for (qsizetype i = 0; i < files.size(); ++i) {
        QString shown = QDir::toNativeSeparators(files[i]);
        shown.replace(u'&', QStringLiteral("&&"));
        QAction* item = addAction(QStringLiteral("&%1 %2").arg(i + 1).arg(shown));
        item->setObjectName(QStringLiteral("Recent%1").arg(i + 1));
        item->setData(files[i]);
        item->setProperty(kMissingProperty, !QFileInfo::exists(files[i]));
        const QString path = files[i];
        // Queued: the menu closes before the open may show its messages.
        connect(
            item, &QAction::triggered, this, [this, path] { choose_(path); }, Qt::QueuedConnection);
    }
    menuAction()->setEnabled(!files.isEmpty());
}

void RecentFilesMenu::initStyleOption(QStyleOptionMenuItem* option, const QAction* action) const {
    QMenu::initStyleOption(option, action);
    if (action && action->property(kMissingProperty).toBool()) {
        option->state &= ~QStyle::State_Enabled;
        option->palette.setCurrentColorGroup(QPalette::Disabled);
    }
}

} // namespace tarvik
