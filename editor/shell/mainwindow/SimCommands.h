#pragma once

#include "editor/shell/dialogs/PinDialog.h"
#include "editor/shell/mainwindow/QtTransferWindow.h"
#include "editor/sim/BackupStore.h"
#include "editor/sim/CardJob.h"
#include "editor/sim/CardRecords.h"
#include "editor/sim/QuenlibCardPort.h"

#include <QString>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class QMainWindow;

namespace tarvik {

class FormModel;
class LanguageTable;
class Prompts;
class Settings;
class RestoreDialog;
class WriteDialog;

// Read SIM, Write SIM (with its preview) and Restore SIM of the main window: the question
// or the dialog, the card connection, the PIN, and the transfer with the window disabled
// and the busy cursor. Every write saves the card's phonebook to the backup folder first.
// The connection stays open from the first command until Disconnect.
class SimCommands {
public:
    // What the commands use of the main window and the program around it. MemoSim shows
    // the program text of form's document.
    struct Parts {
        QMainWindow& window;
        Prompts& prompts;
        const LanguageTable& language;
        WriteDialog& formWrite;
        PinDialog& formPin;
        RestoreDialog& formRestore;
        FormModel& form;
        // Keeps the folder of the last sites file chosen; may be left out.
        Settings* settings = nullptr;
    };

    explicit SimCommands(Parts parts);
    SimCommands(const SimCommands&) = delete;
    SimCommands& operator=(const SimCommands&) = delete;

    // Reads the card's program into MemoSim after "Read from SIM?" and decodes the form.
    void readSimIntoProgram();
    // Writes MemoSim's program to the card after the write dialog; the text, the form and
    // the unsaved-changes mark stay as they are. A backup that cannot be saved stops the
    // write with an error box.
    void writeProgramToSim();
    // Writes a backup chosen in the restore dialog back to the card; the program in the
    // editor stays as it is.
    void restoreSim();
    // Programs card after card with the editor's program in the dialog of its own; the
    // program in the editor stays as it is.
    void writeBatch();
    // Describes the card in the reader in a dialog: its kind, phonebook and PIN. Nothing on
    // the card changes; a PIN the card asks for is not asked here.
    void showCardInfo();
    // The write dialog's preview: connects, gets the PIN out of the way and reads the card.
    std::optional<std::vector<SimItem>> ReadCardForPreview();
    // Whether the card may be used now: connected, and CHV1 out of the way (the PIN dialog
    // disables it when the card asks for it).
    bool CheckCardAccess();
    // Closes the card connection; for the main window's destruction.
    void Disconnect();

    QtTransferWindow& transferWindow() { return transferWindow_; }
    const BackupStore& backups() const { return backups_; }

private:
    // Runs transfer with the window disabled and the busy cursor, both restored however it
    // ends; false when it threw (the error has then been shown).
    template <typename Transfer>
    bool RunBusy(Transfer&& transfer);

    // A message in the status bar, translated.
    // The note in the status bar that says what the command did, until the next one.
    void ShowStatus(const QString& text);
    // "1 record changed" or the count put in the format for many.
    QString CountText(std::string_view one, std::string_view many, int count) const;
    // "Written to the SIM: 12 records changed; backup saved".
    QString WrittenText(int changedRecords, bool backupSaved) const;
    // Browse... of the run over many cards: a CSV file, starting in the folder of the last
    // one chosen, else the user's documents.
    std::optional<QString> ChooseSitesFile();
    // "SIM not found" and why, as far as the card service tells.
    QString SimNotFoundText() const;
    // What a card of a run came to: its ICCID, then what was written or why not.
    QString CardText(const CardJob& job) const;
    // An error box: the translated text, then the reason on a line of its own.
    void ShowErrorWithReason(std::string_view text, const std::string& reason);

    Parts parts_;
    QtTransferWindow transferWindow_;
    QuenlibCardPort port_;
    BackupStore backups_{BackupStore::defaultFolder()};
};

// The PIN dialog's card operation: disables CHV1 with the PIN, or says how many
// presentations are left.
PinAttempt DisableSimPin(const std::string& pin);

} // namespace tarvik
