#pragma once

#include "editor/shell/dialogs/ShellDialog.h"

#include <functional>
#include <string>

class QLabel;
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
// The presentations of the PIN the card still allows.
using PinRemainingFunction = std::function<int()>;

// Asks for the card's PIN and disables it, and says so: the device needs a card whose PIN
// is off. Before anything is typed it tells how many attempts the card still allows. OK
// offers the PIN: on success the dialog closes with OK; a wrong PIN shows the count left,
// empties the box (so Enter cannot spend another attempt on the same PIN) and the dialog
// stays open until the card is blocked. With one attempt left, OK asks first. The PIN box
// is emptied on every close, so a PIN never outlives the dialog.
class PinDialog : public ShellDialog {
public:
    PinDialog(const LanguageTable& table, Prompts& prompts);

    // The card operation OK runs; without one, every PIN is refused.
    void SetDisablePin(DisablePinFunction disablePin);
    // Where the attempts left come from; without it they are not shown.
    void SetPinRemaining(PinRemainingFunction pinRemaining);

    QLineEdit& EdPin() const { return *edPin_; }
    QPushButton& ButOk() const { return *butOk_; }
    QLabel& LabAttempts() const { return *labAttempts_; }

    void done(int result) override;

protected:
    void prepareShow() override;

private:
    void EdPinChange();
    void ButOkClick();
    void ShowAttempts(int remaining);

    const LanguageTable& table_;
    Prompts& prompts_;
    DisablePinFunction disablePin_;
    PinRemainingFunction pinRemaining_;
    int remaining_ = -1; // unknown
    QLabel* labPinInfo_;
    QLabel* labAttempts_;
    QLineEdit* edPin_;
    QPushButton* butOk_;
};

} // namespace tarvik
