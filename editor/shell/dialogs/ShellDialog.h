#pragma once

#include "program/LanguageTable.h"

#include <QDialog>

namespace tarvik {

class WindowTranslator;

// The frame every dialog of the editor shares: a fixed border that fits its contents,
// centred on the screen when shown, and translated through the language table the first
// time it is shown. Tag is -1 once the dialog has translated itself.
class ShellDialog : public QDialog {
public:
    // A dialog without a language table is never translated (the About box).
    explicit ShellDialog(const LanguageTable* table);

    int Tag = 0;

protected:
    // Runs each time the dialog is about to appear; the default translates it once.
    virtual void prepareShow();
    void TranslateOnce();

    void showEvent(QShowEvent* event) override;

private:
    void CentreOnScreen();

    WindowTranslator* translator_ = nullptr;
};

} // namespace tarvik
