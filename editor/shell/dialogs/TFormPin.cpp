#include "editor/shell/dialogs/TFormPin.h"

#include "editor/core/FormatCount.h"
#include "editor/shell/app/Prompts.h"
#include "editor/shell/widgets/QtText.h"
#include "editor/shell/widgets/Windows1252Validator.h"

#include <QFont>
#include <QFontDatabase>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace tarvik {

TFormPin::TFormPin(const LanguageTable& table, Prompts& prompts)
    : ShellDialog(&table), table_(table), prompts_(prompts) {
    setObjectName(QStringLiteral("FormPin"));
    setWindowTitle(QStringLiteral("Disable PIN"));

    auto* group = new QGroupBox(QStringLiteral("PIN"), this);
    group->setObjectName(QStringLiteral("GBPin"));
    edPin_ = new QLineEdit(group);
    edPin_->setObjectName(QStringLiteral("EdPin"));
    edPin_->setEchoMode(QLineEdit::Password);
    edPin_->setValidator(new Windows1252Validator(edPin_));
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPixelSize(16);
    edPin_->setFont(font);
    edPin_->setMinimumWidth(200);
    auto* groupLayout = new QVBoxLayout(group);
    groupLayout->addWidget(edPin_);

    butOk_ = new QPushButton(QStringLiteral("OK"), this);
    butOk_->setObjectName(QStringLiteral("ButOk"));
    butOk_->setDefault(true);
    butOk_->setEnabled(false);
    auto* butCancel = new QPushButton(QStringLiteral("Cancel"), this);
    butCancel->setObjectName(QStringLiteral("ButCancel"));
    connect(edPin_, &QLineEdit::textChanged, this, &TFormPin::EdPinChange);
    connect(butOk_, &QPushButton::clicked, this, &TFormPin::ButOkClick);
    connect(butCancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(butOk_);
    buttons->addWidget(butCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addSpacing(8);
    layout->addLayout(buttons);
    edPin_->setFocus();
}

void TFormPin::SetDisablePin(DisablePinFunction disablePin) {
    disablePin_ = std::move(disablePin);
}

void TFormPin::FormShow() {
    edPin_->setFocus();
    TranslateOnce();
}

void TFormPin::done(int result) {
    // FormClose: whichever way the dialog closes, the PIN goes.
    edPin_->clear();
    ShellDialog::done(result);
}

void TFormPin::EdPinChange() {
    butOk_->setEnabled(!edPin_->text().isEmpty());
}

void TFormPin::ButOkClick() {
    const std::optional<std::string> pin = ToWindows1252(edPin_->text());
    const PinAttempt attempt = pin && disablePin_ ? disablePin_(*pin) : PinAttempt{};
    if (attempt.disabled) {
        accept();
        return;
    }
    const std::string format = TranslateText(table_, "Wrong PIN! - PIN count is now %d");
    prompts_.ShowError(FromWindows1252(FormatCount(format, attempt.remaining)));
}

} // namespace tarvik
