#pragma once

#include "editor/shell/dialogs/ShellDialog.h"

class QLabel;

namespace tarvik {

// The About box: the program's picture, its name with the version, and OK. The window
// goes untranslated; only the version line follows language, when one is given.
class AboutDialog : public ShellDialog {
public:
    explicit AboutDialog(const LanguageTable* language = nullptr);

protected:
    void prepareShow() override;

private:
    const LanguageTable* language_;
    QLabel* labVersion_;
};

} // namespace tarvik
