#pragma once

#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

class QLocale;
class QTranslator;

namespace tarvik {

// The locale whose language is named language, in that language or in English, letters
// in any case: "Italiano", "deutsch", "Français" or "German". Nothing for another name.
std::optional<QLocale> LocaleOfLanguage(const QString& language);

// Qt's own texts (the buttons of message boxes and file dialogs, Yes, No, Cancel, OK) in
// the language of the chosen language file, which translates only the program's texts.
// While the object lives, the application shows them in that language.
class QtTranslations {
public:
    QtTranslations();
    ~QtTranslations();
    QtTranslations(const QtTranslations&) = delete;
    QtTranslations& operator=(const QtTranslations&) = delete;

    // Loads and installs Qt's translations for language, looked for in folders first (the
    // folder of the language file) and then where Qt keeps its own. False when there are
    // none; Qt's texts then stay English.
    bool Load(const QString& language, const QStringList& folders);

private:
    std::unique_ptr<QTranslator> translator_;
};

} // namespace tarvik
