#pragma once

#include "editor/shell/dialogs/ShellDialog.h"

class QCheckBox;

namespace tarvik {

// The question before a card write, with the choice to clear the card's other records.
// The choice starts ticked and keeps the user's last setting for the rest of the run.
class TFormWrite : public ShellDialog {
public:
    explicit TFormWrite(const LanguageTable& table);

    QCheckBox& CBDelete() const { return *cbDelete_; }
    // Whether the write shall clear the records the program does not use.
    bool DeleteAll() const;

private:
    QCheckBox* cbDelete_;
};

} // namespace tarvik
