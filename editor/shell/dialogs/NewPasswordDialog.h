#pragma once

#include "editor/shell/dialogs/ShellDialog.h"

class QLineEdit;
class QPushButton;

namespace tarvik {

class Settings;
class PasswordDialog;

// Change password: a new user name and a new password typed twice. OK stores the name and
// the digest, which apply from the next start; Cancel stores nothing.
class NewPasswordDialog : public ShellDialog {
public:
    NewPasswordDialog(const LanguageTable& table, Settings& settings, const PasswordDialog& login);

    QLineEdit& EdName() const { return *edName_; }
    QLineEdit& EdNew1() const { return *edNew1_; }
    QLineEdit& EdNew2() const { return *edNew2_; }
    QPushButton& ButOK() const { return *butOk_; }

protected:
    void prepareShow() override;

private:
    void EdNew1Change();
    void ButOKClick();

    Settings& settings_;
    const PasswordDialog& login_;
    QLineEdit* edName_;
    QLineEdit* edNew1_;
    QLineEdit* edNew2_;
    QPushButton* butOk_;
};

} // namespace tarvik
