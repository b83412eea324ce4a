#include "editor/shell/i18n/QtTranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace tarvik {

std::optional<QLocale> LocaleOfLanguage(const QString& language) {
    if (language.isEmpty()) {
        return std::nullopt;
    }
    const auto named = [&](const QString& name) {
        return name.compare(language, Qt::CaseInsensitive) == 0;
    };
    for (const QLocale& locale : QLocale::matchingLocales(QLocale::AnyLanguage, QLocale::AnyScript,
                                                          QLocale::AnyTerritory)) {
        if (locale.language() != QLocale::C &&
            (named(locale.nativeLanguageName()) ||
             named(QLocale::languageToString(locale.language())))) {
            // The language's main locale, whichever country matched first.
            return QLocale(locale.language());
        }
    }
    return std::nullopt;
}

QtTranslations::QtTranslations() = default;

QtTranslations::~QtTranslations() {
    if (translator_) {
        QCoreApplication::removeTranslator(translator_.get());
    }
}

bool QtTranslations::Load(const QString& language, const QStringList& folders) {
    const std::optional<QLocale> locale = LocaleOfLanguage(language);
    if (!locale) {
        return false;
    }
    QStringList places = folders;
    places.push_back(QLibraryInfo::path(QLibraryInfo::TranslationsPath));
    auto translator = std::make_unique<QTranslator>();
    for (const QString& folder : places) {
        if (translator->load(*locale, QStringLiteral("qtbase"), QStringLiteral("_"), folder)) {
            if (translator_) {
                QCoreApplication::removeTranslator(translator_.get());
            }
            translator_ = std::move(translator);
            QCoreApplication::installTranslator(translator_.get());
            return true;
        }
    }
    return false;
}

} // namespace tarvik
