#include "editor/shell/mainwindow/LanguageMenu.h"

#include "editor/core/LanguageFiles.h"
#include "editor/shell/app/Prompts.h"
#include "editor/shell/app/Settings.h"
#include "editor/shell/widgets/QtText.h"

#include <QAction>
#include <QActionGroup>
#include <QFile>
#include <QMenu>

namespace tarvik {
namespace {

QAction& AddLanguageItem(QMenu& menu, QActionGroup& group, const QString& language,
                         const std::function<void(QAction&)>& onChoose) {
    QAction* item = menu.addAction(language);
    item->setCheckable(true);
    item->setData(language);
    group.addAction(item);
    QObject::connect(item, &QAction::triggered, item, [item, onChoose] {
        if (onChoose) {
            onChoose(*item);
        }
    });
    return *item;
}

bool SameLanguageName(const QString& a, const QString& b) {
    const auto left = ToWindows1252(a);
    const auto right = ToWindows1252(b);
    return left && right ? SameLanguage(std::string_view(*left), std::string_view(*right)) : a == b;
}

} // namespace

std::optional<LanguageChoice> BuildLanguageMenu(QMenu& menu, const QStringList& files,
                                                const QString& storedLanguage,
                                                const std::function<void(QAction&)>& onChoose) {
    auto* group = new QActionGroup(&menu);
    group->setExclusive(true);
    AddLanguageItem(menu, *group, FromWindows1252(kBuiltInLanguage), onChoose).setChecked(true);

    std::optional<LanguageChoice> chosen;
    for (const QString& file : files) {
        const QString language = QFile::decodeName(
            QByteArray::fromStdString(LanguageName(QFile::encodeName(file).toStdString())));
        QAction& item = AddLanguageItem(menu, *group, language, onChoose);
        if (SameLanguageName(language, storedLanguage)) {
            item.setChecked(true);
            chosen = LanguageChoice{language, file};
        }
    }
    return chosen;
}

QString LanguageOfItem(const QAction& item) {
    return item.data().toString();
}

void ChooseLanguage(QAction& item, Prompts& prompts, Settings& settings,
                    const LanguageTable& table) {
    item.setChecked(true);
    const QString language = LanguageOfItem(item);
    prompts.ShowInfo(Translated(table, std::string_view("Please restart Tarvik")) +
                     QStringLiteral("\r\n") + Translated(table, std::string_view("New language:")) +
                     u' ' + language);
    settings.SetLanguage(language);
}

} // namespace tarvik
