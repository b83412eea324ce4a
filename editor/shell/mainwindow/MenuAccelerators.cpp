#include "editor/shell/mainwindow/MenuAccelerators.h"

#include <QAction>
#include <QList>
#include <QMenu>
#include <QMenuBar>
#include <QSet>

namespace tarvik {
namespace {

// The position of the accelerator marker in text ("&" not doubled), or -1.
qsizetype MarkerPosition(const QString& text) {
    for (qsizetype i = 0; i + 1 < text.size(); ++i) {
        if (text.at(i) == u'&') {
            if (text.at(i + 1) != u'&') {
                return i;
            }
            ++i;
        }
    }
    return -1;
}

void AssignAmong(const QList<QAction*>& items) {
    QSet<QChar> used;
    QList<QAction*> pending;
    for (QAction* item : items) {
        const qsizetype marker = MarkerPosition(item->text());
        if (marker >= 0) {
            used.insert(item->text().at(marker + 1).toUpper());
        } else if (!item->isSeparator() && !item->text().isEmpty()) {
            pending.push_back(item);
        }
    }
    for (QAction* item : pending) {
        QString text = item->text();
        for (qsizetype i = 0; i < text.size(); ++i) {
            const QChar c = text.at(i);
            if (c == u'&') {
                ++i; // a doubled "&" is a plain ampersand
                continue;
            }
            if (c.isLetterOrNumber() && !used.contains(c.toUpper())) {
                used.insert(c.toUpper());
                text.insert(i, u'&');
                item->setText(text);
                break;
            }
        }
    }
    for (QAction* item : items) {
        if (QMenu* menu = item->menu()) {
            AssignAmong(menu->actions());
        }
    }
}

} // namespace

void AssignMenuAccelerators(QMenuBar& bar) {
    AssignAmong(bar.actions());
}

} // namespace tarvik
