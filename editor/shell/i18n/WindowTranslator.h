#pragma once

#include "program/LanguageTable.h"

#include <QObject>
#include <QStringList>
#include <functional>

class QAction;
class QWidget;

namespace tarvik {

// Translates a window's texts through the language table: its caption, its menus, and the
// hints, texts and list items of its controls. Each window owns one; it translates the
// window the first time it is shown.
//
// A control's text is translated when it is 2 to 62 characters long and its second
// character is not a digit, so codes and numbers such as T1 or 0123 in edit boxes stay;
// labels are translated whatever their second character. Password boxes and the inner
// parts of compound widgets (a spin box's edit, a combo box's list) are left alone.
class WindowTranslator : public QObject {
public:
    WindowTranslator(QWidget& form, const LanguageTable& table);

    // Called with every object of the window that is neither a control, a menu nor an
    // action, when set.
    std::function<void(QObject&)> OnUnknownComponent;

    // Translates the owning window when the table has more than one line.
    void Translate();
    // Translates form and everything in it.
    void TranslateForm(QWidget& form);

private:
    QWidget& form_;
    const LanguageTable& table_;
};

// Marks a control whose texts are data rather than words of the program (a reader's name,
// say): no translation looks them up, and no language file needs them.
void KeepUntranslated(QWidget& control);

// Translates a menu item's caption and hint, then those of its sub-items, recursively.
void TranslateMenuItem(QAction& item, const LanguageTable& table);

// Every text of form that a language file may translate, in the order a translation
// looks them up, each once: what a complete language file must hold for this window.
QStringList TranslatableTexts(QWidget& form);

} // namespace tarvik
