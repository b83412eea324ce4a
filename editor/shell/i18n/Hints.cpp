#include "editor/shell/i18n/Hints.h"

#include <QAction>
#include <QVariant>
#include <QWidget>

namespace tarvik {
namespace {

constexpr char kHintProperty[] = "hint";

} // namespace

QString ShortHint(const QString& hint) {
    const qsizetype bar = hint.indexOf(u'|');
    return bar < 0 ? hint : hint.left(bar);
}

QString LongHint(const QString& hint) {
    const qsizetype bar = hint.indexOf(u'|');
    return bar < 0 ? hint : hint.mid(bar + 1);
}

void SetHint(QObject& object, const QString& hint) {
    object.setProperty(kHintProperty, hint);
    if (auto* widget = qobject_cast<QWidget*>(&object)) {
        widget->setToolTip(ShortHint(hint));
        widget->setStatusTip(LongHint(hint));
    } else if (auto* action = qobject_cast<QAction*>(&object)) {
        action->setToolTip(ShortHint(hint));
        action->setStatusTip(LongHint(hint));
    }
}

QString HintOf(const QObject& object) {
    const QVariant hint = object.property(kHintProperty);
    if (hint.isValid()) {
        return hint.toString();
    }
    if (const auto* widget = qobject_cast<const QWidget*>(&object)) {
        return widget->toolTip();
    }
    // An action without a hint of its own reports its text as its tool tip, which is no
    // hint.
    return {};
}

} // namespace tarvik
