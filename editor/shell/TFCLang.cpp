#include "editor/shell/TFCLang.h"

#include "editor/shell/Hints.h"
#include "editor/shell/QtText.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QTabBar>
#include <QTabWidget>
#include <QToolButton>

namespace tarvik {
namespace {

// Language files are a few hundred lines; anything far larger is not one.
constexpr qint64 kLargestLanguageFile = 4 * 1024 * 1024;

// Texts shorter or longer than these are never translated in controls.
constexpr qsizetype kShortestText = 2;
constexpr qsizetype kLongestText = 62;

// Widgets shows CR LF, which "^p" becomes, as one line break.
QString ForWidget(QString text) {
    return text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

bool TranslatesText(const QString& text, bool isLabel) {
    if (text.size() < kShortestText || text.size() > kLongestText) {
        return false;
    }
    const char16_t second = text.at(1).unicode();
    return isLabel || second < u'0' || second > u'9';
}

// The parts Qt builds inside compound widgets carry texts of their own (a spin box's
// number, a combo box's list) that belong to the compound widget.
bool IsInnerPart(const QWidget& widget, const QWidget& form) {
    if (widget.objectName().startsWith(QStringLiteral("qt_"))) {
        return true;
    }
    for (const QWidget* up = widget.parentWidget(); up && up != &form; up = up->parentWidget()) {
        if (qobject_cast<const QComboBox*>(up) || qobject_cast<const QAbstractSpinBox*>(up) ||
            qobject_cast<const QAbstractItemView*>(up) || qobject_cast<const QTabBar*>(up)) {
            return true;
        }
    }
    return false;
}

void TranslateMenuItemOnce(QAction& item, const LanguageTable& table, QSet<QAction*>& done) {
    if (done.contains(&item)) {
        return;
    }
    done.insert(&item);
    item.setText(ForWidget(Translated(table, item.text())));
    const QString hint = HintOf(item);
    if (!hint.isEmpty()) {
        SetHint(item, ForWidget(Translated(table, hint)));
    }
    if (QMenu* menu = item.menu()) {
        for (QAction* sub : menu->actions()) {
            TranslateMenuItemOnce(*sub, table, done);
        }
    }
}

} // namespace

TFCLang::TFCLang(QWidget& form, const LanguageTable& table)
    : QObject(&form), form_(form), table_(table) {}

void TFCLang::Translate() {
    if (table_.size() > 1) {
        TranslateForm(form_);
    }
}

void TFCLang::TranslateForm(QWidget& form) {
    form.setWindowTitle(ForWidget(Translated(table_, form.windowTitle())));
    if (auto* window = qobject_cast<QMainWindow*>(&form); window && window->menuWidget()) {
        if (auto* bar = qobject_cast<QMenuBar*>(window->menuWidget())) {
            for (QAction* item : bar->actions()) {
                TranslateMenuItemOnce(*item, table_, translatedActions_);
            }
        }
    }
    for (QObject* component : form.findChildren<QObject*>()) {
        if (component == this) {
            continue;
        }
        if (auto* menu = qobject_cast<QMenu*>(component)) {
            for (QAction* item : menu->actions()) {
                TranslateMenuItemOnce(*item, table_, translatedActions_);
            }
        } else if (auto* action = qobject_cast<QAction*>(component)) {
            TranslateMenuItemOnce(*action, table_, translatedActions_);
        } else if (auto* control = qobject_cast<QWidget*>(component)) {
            if (!IsInnerPart(*control, form)) {
                TranslateControl(*control);
            }
        } else if (OnUnknownComponent) {
            OnUnknownComponent(*component);
        }
    }
}

void TFCLang::TranslateControl(QWidget& control) {
    const QString hint = HintOf(control);
    if (!hint.isEmpty()) {
        const QString translated = ForWidget(Translated(table_, hint));
        if (!translated.isEmpty() && translated != hint) {
            SetHint(control, translated);
        }
    }

    const auto translate = [this](const QString& text, bool isLabel) -> std::optional<QString> {
        if (!TranslatesText(text, isLabel)) {
            return std::nullopt;
        }
        const QString translated = ForWidget(Translated(table_, text));
        if (translated.isEmpty() || translated == text) {
            return std::nullopt;
        }
        return translated;
    };

    if (auto* label = qobject_cast<QLabel*>(&control)) {
        if (auto text = translate(label->text(), true)) {
            label->setText(*text);
        }
    } else if (auto* button = qobject_cast<QAbstractButton*>(&control)) {
        const auto* tool = qobject_cast<QToolButton*>(&control);
        if (tool && tool->defaultAction()) {
            return; // the button shows its action, which is translated as one
        }
        if (auto text = translate(button->text(), false)) {
            button->setText(*text);
        }
    } else if (auto* group = qobject_cast<QGroupBox*>(&control)) {
        if (auto text = translate(group->title(), false)) {
            group->setTitle(*text);
        }
    } else if (auto* edit = qobject_cast<QLineEdit*>(&control)) {
        if (edit->echoMode() != QLineEdit::Normal) {
            return; // a password is never a text to translate
        }
        if (auto text = translate(edit->text(), false)) {
            edit->setText(*text);
        }
    } else if (auto* tabs = qobject_cast<QTabWidget*>(&control)) {
        for (int i = 0; i < tabs->count(); ++i) {
            if (auto text = translate(tabs->tabText(i), false)) {
                tabs->setTabText(i, *text);
            }
            if (const QString tip = tabs->tabToolTip(i); !tip.isEmpty()) {
                const QString translated = ForWidget(Translated(table_, tip));
                if (!translated.isEmpty()) {
                    tabs->setTabToolTip(i, translated);
                }
            }
        }
    } else if (auto* combo = qobject_cast<QComboBox*>(&control)) {
        for (int i = 0; i < combo->count(); ++i) {
            combo->setItemText(i, ForWidget(Translated(table_, combo->itemText(i))));
        }
    } else if (auto* list = qobject_cast<QListWidget*>(&control)) {
        for (int i = 0; i < list->count(); ++i) {
            QListWidgetItem* item = list->item(i);
            item->setText(ForWidget(Translated(table_, item->text())));
        }
    }
}

void TranslateMenuItem(QAction& item, const LanguageTable& table) {
    QSet<QAction*> done;
    TranslateMenuItemOnce(item, table, done);
}

void LoadLanguage(LanguageTable& table, const QString& path) {
    const QFileInfo file(path);
    if (!file.isFile() || file.size() > kLargestLanguageFile) {
        return;
    }
    table.loadFile(QFile::encodeName(file.filePath()).toStdString());
}

} // namespace tarvik
