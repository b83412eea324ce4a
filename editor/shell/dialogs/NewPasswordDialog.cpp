#include "editor/shell/dialogs/NewPasswordDialog.h"

#include "editor/core/PasswordDigest.h"
#include "editor/shell/app/Settings.h"
#include "editor/shell/dialogs/PasswordDialog.h"
#include "editor/shell/widgets/QtText.h"
#include "editor/shell/widgets/Windows1252Validator.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace tarvik {
namespace {

// As long as the login boxes, so that a new name and password can always be typed there.
constexpr int kLoginTextLength = 15;

QLineEdit* AddBox(QWidget& dialog, QGridLayout& layout, const char* labelName, const char* caption,
                  const char* boxName, bool secret) {
    auto* label = new QLabel(QString::fromLatin1(caption), &dialog);
    label->setObjectName(QString::fromLatin1(labelName));
    auto* box = new QLineEdit(&dialog);
    box->setObjectName(QString::fromLatin1(boxName));
    box->setMaxLength(kLoginTextLength);
    box->setValidator(new Windows1252Validator(box));
    box->setMinimumWidth(220);
    if (secret) {
        box->setEchoMode(QLineEdit::Password);
    }
    label->setBuddy(box);
    const int row = layout.rowCount();
    layout.addWidget(label, row, 0);
    layout.addWidget(box, row + 1, 0);
    return box;
}

} // namespace

NewPasswordDialog::NewPasswordDialog(const LanguageTable& table, Settings& settings,
                                     const PasswordDialog& login)
    : ShellDialog(&table), settings_(settings), login_(login) {
    setObjectName(QStringLiteral("FormNewPsw"));
    setWindowTitle(QStringLiteral("Change password"));

    auto* boxes = new QGridLayout;
    edName_ = AddBox(*this, *boxes, "LabName", "New user name", "EdName", false);
    edNew1_ = AddBox(*this, *boxes, "LabNew1", "New password", "EdNew1", true);
    edNew2_ = AddBox(*this, *boxes, "LabNew2", "Confirm new password", "EdNew2", true);

    butOk_ = new QPushButton(QStringLiteral("OK"), this);
    butOk_->setObjectName(QStringLiteral("ButOK"));
    butOk_->setDefault(true);
    auto* butCa = new QPushButton(QStringLiteral("Cancel"), this);
    butCa->setObjectName(QStringLiteral("ButCa"));
    connect(butOk_, &QPushButton::clicked, this, &NewPasswordDialog::ButOKClick);
    connect(butCa, &QPushButton::clicked, this, &QDialog::reject);

    for (QLineEdit* box : {edName_, edNew1_, edNew2_}) {
        connect(box, &QLineEdit::textChanged, this, &NewPasswordDialog::EdNew1Change);
    }

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(butOk_);
    buttons->addWidget(butCa);
    auto* layout = new QGridLayout(this);
    layout->addLayout(boxes, 0, 0);
    layout->setRowMinimumHeight(1, 8);
    layout->addLayout(buttons, 2, 0);
}

void NewPasswordDialog::prepareShow() {
    butOk_->setEnabled(false);
    edName_->setText(login_.EdName().text());
    edNew1_->clear();
    edNew2_->clear();
    edNew1_->setFocus();
    TranslateOnce();
}

void NewPasswordDialog::EdNew1Change() {
    butOk_->setEnabled(edNew1_->text() == edNew2_->text() && !edNew1_->text().isEmpty() &&
                       !edName_->text().isEmpty());
}

void NewPasswordDialog::ButOKClick() {
    const auto name = ToWindows1252(edName_->text());
    const auto password = ToWindows1252(edNew1_->text());
    if (!name || !password) {
        return; // the boxes accept only Windows-1252 text, so this cannot be typed
    }
    settings_.SetName(edName_->text());
    settings_.SetPublicKey(CredentialsDigest(*name, *password));
    accept();
}

} // namespace tarvik
