#pragma once

#include "editor/shell/dialogs/TFormPin.h"
#include "editor/shell/mainwindow/QtTransferWindow.h"

#include <string>

class QMainWindow;

namespace tarvik {

class FormModel;
class LanguageTable;
class Prompts;
class TFormWrite;

// Read SIM and Write SIM of the main window: the question or the write dialog, the card
// connection, the PIN, and the transfer with the window disabled and the busy cursor.
// The connection stays open from the first command until Disconnect.
class SimCommands {
public:
    // What the commands use of the main window and the program around it. MemoSim shows
    // the program text of form's document.
    struct Parts {
        QMainWindow& window;
        Prompts& prompts;
        const LanguageTable& language;
        TFormWrite& formWrite;
        TFormPin& formPin;
        FormModel& form;
    };

    explicit SimCommands(Parts parts);
    SimCommands(const SimCommands&) = delete;
    SimCommands& operator=(const SimCommands&) = delete;

    // Reads the card's program into MemoSim after "Read from SIM?" and decodes the form.
    void ButReadClick();
    // Writes MemoSim's program to the card after the write dialog; the text, the form and
    // the unsaved-changes mark stay as they are.
    void ButWriteClick();
    // Whether the card may be used now: connected, and CHV1 out of the way (the PIN dialog
    // disables it when the card asks for it).
    bool CheckCardAccess();
    // Closes the card connection; for the main window's destruction.
    void Disconnect();

    QtTransferWindow& transferWindow() { return transferWindow_; }

private:
    // Runs transfer with the window disabled and the busy cursor, both restored however it
    // ends; false when it threw (the error has then been shown).
    template <typename Transfer>
    bool RunBusy(Transfer&& transfer);

    Parts parts_;
    QtTransferWindow transferWindow_;
};

// The PIN dialog's card operation: disables CHV1 with the PIN, or says how many
// presentations are left.
PinAttempt DisableSimPin(const std::string& pin);

} // namespace tarvik
