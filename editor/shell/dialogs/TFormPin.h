#pragma once

#include "editor/shell/dialogs/ShellDialog.h"

#include <functional>
#include <string>

class QLineEdit;
class QPushButton;

namespace tarvik {

class Prompts;

// What offering a PIN to the card gave: CHV1 disabled, or refused with the number of
// presentations the card still allows.
struct PinAttempt {
    bool disabled = false;
    int remaining = 0;
};

// Disables the card's PIN with the given code (8-bit text).
using DisablePinFunction = std::function<PinAttempt(const std::string& pin)>;

// Asks for the card's PIN and disables it. OK offers the PIN: on success the dialog closes
// with OK; a wrong PIN shows the count left and the dialog stays open. The PIN box is
// emptied on every close, so a PIN never outlives the dialog.
class TFormPin : public ShellDialog {
public:
    TFormPin(const LanguageTable& table, Prompts& prompts);

    // The card operation OK runs; without one, every PIN is refused.
    void SetDisablePin(DisablePinFunction disablePin);

    QLineEdit& EdPin() const { return *edPin_; }
    QPushButton& ButOk() const { return *butOk_; }

    void done(int result) override;

protected:
    void FormShow() override;

private:
    void EdPinChange();
    void ButOkClick();

    const LanguageTable& table_;
    Prompts& prompts_;
    DisablePinFunction disablePin_;
    QLineEdit* edPin_;
    QPushButton* butOk_;
};

} // namespace tarvik
