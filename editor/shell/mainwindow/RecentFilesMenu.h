#pragma once

#include <QMenu>
#include <QStringList>
#include <functional>

class QStyleOptionMenuItem;

namespace tarvik {

// File > Recent files: one item per recent program file, newest first, "Recent1".."Recent8",
// numbered as their accelerators. A file that no longer exists is drawn greyed but can
// still be chosen, so that choosing it says why it does not open and takes it off the list.
// The menu itself is disabled while the list is empty.
class RecentFilesMenu : public QMenu {
public:
    // choose runs with the path of the item chosen.
    RecentFilesMenu(QWidget& parent, std::function<void(const QString&)> choose);

    // Lists files (absolute paths); whether each exists is looked at now.
    void listFiles(const QStringList& files);

protected:
    void initStyleOption(QStyleOptionMenuItem* option, const QAction* action) const override;

private:
    std::function<void(const QString&)> choose_;
};

} // namespace tarvik
