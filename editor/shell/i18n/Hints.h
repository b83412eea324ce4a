#pragma once

#include <QString>

class QObject;

namespace tarvik {

// A hint is a short and a long text joined by "|" ("Exit|Exit application"); without "|"
// both are the whole text. A widget or an action keeps its whole hint, which the language
// files use as the key, and shows the short part as its tool tip and the long part in the
// status bar.
void SetHint(QObject& object, const QString& hint);
// The whole hint set by SetHint; for a widget without one, its tool tip.
QString HintOf(const QObject& object);

QString ShortHint(const QString& hint);
QString LongHint(const QString& hint);

} // namespace tarvik
