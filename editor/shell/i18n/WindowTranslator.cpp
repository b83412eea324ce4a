#include "editor/shell/i18n/WindowTranslator.h"

#include "editor/shell/i18n/Hints.h"
#include "editor/shell/widgets/QtText.h"

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
#include <functional>
#include <optional>

namespace tarvik {
namespace {

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

// The dynamic property that KeepUntranslated sets.
constexpr char kUntranslated[] = "tarvikUntranslated";

// One pass over a window: every text that the rules let through goes to lookup, and what
// comes back replaces it.
class TextPass {
public:
    using Lookup = std::function<QString(const QString&)>;

    explicit TextPass(Lookup lookup) : lookup_(std::move(lookup)) {}

    std::function<void(QObject&)> onUnknownComponent;
    const QObject* skip = nullptr;

    void Form(QWidget& form) {
        form.setWindowTitle(Look(form.windowTitle()));
        if (auto* window = qobject_cast<QMainWindow*>(&form); window && window->menuWidget()) {
            if (auto* bar = qobject_cast<QMenuBar*>(window->menuWidget())) {
                for (QAction* item : bar->actions()) {
                    MenuItem(*item);
                }
            }
        }
        for (QObject* component : form.findChildren<QObject*>()) {
            if (component == skip || component->property(kUntranslated).toBool()) {
                continue;
            }
            if (auto* menu = qobject_cast<QMenu*>(component)) {
                for (QAction* item : menu->actions()) {
                    MenuItem(*item);
                }
            } else if (auto* action = qobject_cast<QAction*>(component)) {
                MenuItem(*action);
            } else if (auto* control = qobject_cast<QWidget*>(component)) {
                if (!IsInnerPart(*control, form)) {
                    Control(*control);
                }
            } else if (onUnknownComponent) {
                onUnknownComponent(*component);
            }
        }
    }

    // A menu item's caption and hint, then its sub-items; each item once, wherever it
    // appears (the menu bar, its menus, a tool bar).
    void MenuItem(QAction& item) {
        if (done_.contains(&item)) {
            return;
        }
        done_.insert(&item);
        item.setText(Look(item.text()));
        const QString hint = HintOf(item);
        if (!hint.isEmpty()) {
            SetHint(item, Look(hint));
        }
        if (QMenu* menu = item.menu()) {
            for (QAction* sub : menu->actions()) {
                MenuItem(*sub);
            }
        }
    }

private:
    QString Look(const QString& text) { return text.isEmpty() ? text : ForWidget(lookup_(text)); }

    // The translation of a control's text, when the rules let it through and it says
    // something else.
    std::optional<QString> ControlText(const QString& text, bool isLabel) {
        if (!TranslatesText(text, isLabel)) {
            return std::nullopt;
        }
        QString translated = Look(text);
        if (translated.isEmpty() || translated == text) {
            return std::nullopt;
        }
        return translated;
    }

    void Control(QWidget& control) {
        const QString hint = HintOf(control);
        if (!hint.isEmpty()) {
            const QString translated = Look(hint);
            if (!translated.isEmpty() && translated != hint) {
                SetHint(control, translated);
            }
        }

        if (auto* label = qobject_cast<QLabel*>(&control)) {
            if (auto text = ControlText(label->text(), true)) {
                label->setText(*text);
            }
        } else if (auto* button = qobject_cast<QAbstractButton*>(&control)) {
            const auto* tool = qobject_cast<QToolButton*>(&control);
            if (tool && tool->defaultAction()) {
                return; // the button shows its action, which is translated as one
            }
            if (auto text = ControlText(button->text(), false)) {
                button->setText(*text);
            }
        } else if (auto* group = qobject_cast<QGroupBox*>(&control)) {
            if (auto text = ControlText(group->title(), false)) {
                group->setTitle(*text);
            }
        } else if (auto* edit = qobject_cast<QLineEdit*>(&control)) {
            if (edit->echoMode() != QLineEdit::Normal) {
                return; // a password is never a text to translate
            }
            if (auto text = ControlText(edit->text(), false)) {
                edit->setText(*text);
            }
        } else if (auto* tabs = qobject_cast<QTabWidget*>(&control)) {
            for (int i = 0; i < tabs->count(); ++i) {
                if (auto text = ControlText(tabs->tabText(i), false)) {
                    tabs->setTabText(i, *text);
                }
                if (const QString tip = tabs->tabToolTip(i); !tip.isEmpty()) {
                    const QString translated = Look(tip);
                    if (!translated.isEmpty()) {
                        tabs->setTabToolTip(i, translated);
                    }
                }
            }
        } else if (auto* combo = qobject_cast<QComboBox*>(&control)) {
            for (int i = 0; i < combo->count(); ++i) {
                combo->setItemText(i, Look(combo->itemText(i)));
            }
        } else if (auto* list = qobject_cast<QListWidget*>(&control)) {
            for (int i = 0; i < list->count(); ++i) {
                QListWidgetItem* item = list->item(i);
                item->setText(Look(item->text()));
            }
        }
    }

    Lookup lookup_;
    QSet<QAction*> done_;
};

} // namespace

WindowTranslator::WindowTranslator(QWidget& form, const LanguageTable& table)
    : QObject(&form), form_(form), table_(table) {}

void WindowTranslator::Translate() {
    if (table_.size() > 1) {
        TranslateForm(form_);
    }
}

void WindowTranslator::TranslateForm(QWidget& form) {
    TextPass translator([this](const QString& text) { return Translated(table_, text); });
    translator.onUnknownComponent = OnUnknownComponent;
    translator.skip = this;
    translator.Form(form);
}

void KeepUntranslated(QWidget& control) {
    control.setProperty(kUntranslated, true);
}

void TranslateMenuItem(QAction& item, const LanguageTable& table) {
    TextPass([&table](const QString& text) { return Translated(table, text); }).MenuItem(item);
}

QStringList TranslatableTexts(QWidget& form) {
    QStringList texts;
    TextPass recorder([&texts](const QString& text) {
        if (!texts.contains(text)) {
            texts.push_back(text);
        }
        return text;
    });
    recorder.Form(form);
    return texts;
}

} // namespace tarvik
