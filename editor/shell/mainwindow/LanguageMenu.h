#pragma once

#include "program/LanguageTable.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

class QAction;
class QMenu;

namespace tarvik {

class Prompts;
class Settings;

// The language stored in the settings, as found among the language files.
struct LanguageChoice {
    QString name; // the language, e.g. "Italiano"
    QString file; // its language file
};

// Fills File > Language: the built-in "English", checked, then one item per language file
// named after its language, all in one exclusive radio group. Clicking an item runs
// onChoose with it. The item whose language equals storedLanguage (a..z compared without
// case) is checked and its language returned; nothing when no file matches.
std::optional<LanguageChoice> BuildLanguageMenu(QMenu& menu, const QStringList& files,
                                                const QString& storedLanguage,
                                                const std::function<void(QAction&)>& onChoose);

// The language an item of that menu stands for, whatever its caption shows.
QString LanguageOfItem(const QAction& item);

// The user chose item: check it, say that the language applies from the next start, and
// store it as "Language".
void ChooseLanguage(QAction& item, Prompts& prompts, Settings& settings,
                    const LanguageTable& table);

} // namespace tarvik
