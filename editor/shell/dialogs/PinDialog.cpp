#include "editor/shell/dialogs/PinDialog.h"

#include "editor/core/FormatCount.h"
#include "editor/shell/app/Prompts.h"
#include "editor/shell/widgets/QtText.h"
#include "editor/shell/widgets/Windows1252Validator.h"

#include <QFont>
#include <QFontDatabase>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace tarvik {
namespace {

constexpr std::string_view kWrongPin = "Wrong PIN! - PIN count is now %d";
constexpr std::string_view kPinExplained =
    "The device needs a SIM card whose PIN is off. Tarvik turns off the PIN of this card.";
constexpr std::string_view kOneAttemptLeft = "1 attempt left";
constexpr std::string_view kAttemptsLeft = "%d attempts left";
constexpr std::string_view kLastAttempt = "The last attempt: a wrong PIN blocks the card";

} // namespace

PinDialog::PinDialog(const LanguageTable& table, Prompts& prompts)
    : ShellDialog(&table), table_(table), prompts_(prompts) {
    setObjectName(QStringLiteral("FormPin"));
    setWindowTitle(QStringLiteral("Disable PIN"));

    labPinInfo_ = new QLabel(FromWindows1252(kPinExplained), this);
    labPinInfo_->setObjectName(QStringLiteral("LabPinInfo"));
    labPinInfo_->setWordWrap(true);

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
    labAttempts_ = new QLabel(group);
    labAttempts_->setObjectName(QStringLiteral("LabAttempts"));
    labAttempts_->hide();
    auto* groupLayout = new QVBoxLayout(group);
    groupLayout->addWidget(edPin_);
    groupLayout->addWidget(labAttempts_);

    butOk_ = new QPushButton(QStringLiteral("OK"), this);
    butOk_->setObjectName(QStringLiteral("ButOk"));
    butOk_->setDefault(true);
    butOk_->setEnabled(false);
    auto* butCancel = new QPushButton(QStringLiteral("Cancel"), this);
    butCancel->setObjectName(QStringLiteral("ButCancel"));
    connect(edPin_, &QLineEdit::textChanged, this, &PinDialog::EdPinChange);
    connect(butOk_, &QPushButton::clicked, this, &PinDialog::ButOkClick);
    connect(butCancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(butOk_);
    buttons->addWidget(butCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(labPinInfo_);
    layout->addWidget(group);
    layout->addSpacing(8);
    layout->addLayout(buttons);
    edPin_->setFocus();
}

void PinDialog::SetDisablePin(DisablePinFunction disablePin) {
    disablePin_ = std::move(disablePin);
}

void PinDialog::SetPinRemaining(PinRemainingFunction pinRemaining) {
    pinRemaining_ = std::move(pinRemaining);
}

void PinDialog::prepareShow() {
    edPin_->setFocus();
    TranslateOnce();
    // Longer than the texts the window translation takes.
    labPinInfo_->setText(FromWindows1252(TranslateText(table_, kPinExplained)));
    ShowAttempts(pinRemaining_ ? pinRemaining_() : -1);
}

void PinDialog::ShowAttempts(int remaining) {
    remaining_ = remaining;
    if (remaining <= 0) {
        labAttempts_->hide();
        return;
    }
    const std::string text = remaining == 1
                                 ? TranslateText(table_, kOneAttemptLeft)
                                 : FormatCount(TranslateText(table_, kAttemptsLeft), remaining);
    labAttempts_->setText(FromWindows1252(text));
    labAttempts_->show();
}

void PinDialog::done(int result) {
    // Whichever way the dialog closes, the PIN goes.
    edPin_->clear();
    ShellDialog::done(result);
}

void PinDialog::EdPinChange() {
    butOk_->setEnabled(!edPin_->text().isEmpty());
}

void PinDialog::ButOkClick() {
    if (remaining_ == 1 && !prompts_.AskOkCancel(windowTitle(), FromWindows1252(TranslateText(
                                                                    table_, kLastAttempt)))) {
        edPin_->setFocus();
        return;
    }
    const std::optional<std::string> pin = ToWindows1252(edPin_->text());
    const PinAttempt attempt = pin && disablePin_ ? disablePin_(*pin) : PinAttempt{};
    if (attempt.disabled) {
        accept();
        return;
    }
    // The wrong PIN goes, so that Enter cannot offer it again.
    edPin_->clear();
    ShowAttempts(attempt.remaining);
    prompts_.ShowError(
        FromWindows1252(FormatCount(TranslateText(table_, kWrongPin), attempt.remaining)));
    if (attempt.remaining <= 0 && pinRemaining_) {
        // Blocked: no PIN can be offered any more.
        reject();
        return;
    }
    edPin_->setFocus();
}

} // namespace tarvik
