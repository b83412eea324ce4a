#include "editor/shell/dialogs/PasswordDialog.h"

#include "editor/core/PasswordDigest.h"
#include "editor/shell/widgets/QtText.h"
#include "editor/shell/widgets/Windows1252Validator.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace tarvik {
namespace {

// Longest user name and password that the login boxes take.
constexpr int kLoginTextLength = 15;

} // namespace

PasswordDialog::PasswordDialog(const LanguageTable& table) : ShellDialog(&table) {
    setObjectName(QStringLiteral("FormPsw"));
    setWindowTitle(QStringLiteral("Password"));

    auto* labName = new QLabel(QStringLiteral("User name"), this);
    labName->setObjectName(QStringLiteral("LabName"));
    edName_ = new QLineEdit(FromWindows1252(kFactoryUserName), this);
    edName_->setObjectName(QStringLiteral("EdName"));
    edName_->setMaxLength(kLoginTextLength);
    edName_->setValidator(new Windows1252Validator(edName_));
    labName->setBuddy(edName_);

    auto* labPsw = new QLabel(QStringLiteral("Password"), this);
    labPsw->setObjectName(QStringLiteral("LabPsw"));
    edPsw_ = new QLineEdit(this);
    edPsw_->setObjectName(QStringLiteral("EdPsw"));
    edPsw_->setMaxLength(kLoginTextLength);
    edPsw_->setEchoMode(QLineEdit::Password);
    edPsw_->setValidator(new Windows1252Validator(edPsw_));
    edPsw_->installEventFilter(this);
    labPsw->setBuddy(edPsw_);

    butOk_ = new QPushButton(QStringLiteral("OK"), this);
    butOk_->setObjectName(QStringLiteral("ButOK"));
    // Enter closes the dialog only from the password box, on the key's release.
    butOk_->setAutoDefault(false);
    connect(butOk_, &QPushButton::clicked, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(labName);
    layout->addWidget(edName_);
    layout->addWidget(labPsw);
    layout->addWidget(edPsw_);
    layout->addSpacing(8);
    layout->addWidget(butOk_, 0, Qt::AlignRight);
    edName_->setMinimumWidth(220);

    // The dialog opens with the cursor in the password box.
    setTabOrder(edPsw_, butOk_);
    setTabOrder(butOk_, edName_);
    edPsw_->setFocus();
}

bool PasswordDialog::eventFilter(QObject* watched, QEvent* event) {
    // EdPswKeyUp: Enter in the password box logs in.
    if (watched == edPsw_ && event->type() == QEvent::KeyRelease) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            accept();
            return true;
        }
    }
    return ShellDialog::eventFilter(watched, event);
}

} // namespace tarvik
