#include "editor/shell/app/Login.h"

#include "editor/core/PasswordDigest.h"
#include "editor/shell/app/Prompts.h"
#include "editor/shell/app/Settings.h"
#include "editor/shell/dialogs/PasswordDialog.h"
#include "editor/shell/widgets/QtText.h"

#include <QDialog>
#include <QLineEdit>
#include <algorithm>

namespace tarvik {

bool RunLogin(PasswordDialog& dialog, const Settings& settings, Prompts& prompts,
              const LanguageTable& language) {
    const QString name = settings.Name();
    const std::int32_t stored = settings.PublicKey();
    // The name box takes the whole stored name, even one longer than can be typed there:
    // cut, it would never match its digest.
    QLineEdit& nameBox = dialog.EdName();
    nameBox.setMaxLength(std::max(nameBox.maxLength(), static_cast<int>(name.size())));
    nameBox.setText(name);
    if (name == FromWindows1252(kFactoryUserName)) {
        dialog.EdPsw().setText(FromWindows1252(kFactoryPassword));
    }
    if (prompts.Exec(dialog) != QDialog::Accepted) {
        return false;
    }
    const auto enteredName = ToWindows1252(dialog.EdName().text());
    const auto enteredPassword = ToWindows1252(dialog.EdPsw().text());
    if (enteredName && enteredPassword &&
        static_cast<std::int64_t>(CredentialsDigest(*enteredName, *enteredPassword)) == stored) {
        return true;
    }
    prompts.ShowError(Translated(language, std::string_view("Wrong password")));
    return false;
}

} // namespace tarvik
