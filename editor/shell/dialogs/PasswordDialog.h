#pragma once

#include "editor/shell/dialogs/ShellDialog.h"

class QLineEdit;
class QPushButton;

namespace tarvik {

// The login dialog, shown once at start: user name and password. OK or Enter in the
// password box closes it with OK; its close box gives Cancel.
class PasswordDialog : public ShellDialog {
public:
    explicit PasswordDialog(const LanguageTable& table);

    QLineEdit& EdName() const { return *edName_; }
    QLineEdit& EdPsw() const { return *edPsw_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLineEdit* edName_;
    QLineEdit* edPsw_;
    QPushButton* butOk_;
};

} // namespace tarvik
