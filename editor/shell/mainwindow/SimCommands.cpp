#include "editor/shell/mainwindow/SimCommands.h"

#include "editor/core/FormatCount.h"
#include "editor/form/FormModel.h"
#include "editor/shell/app/Prompts.h"
#include "editor/shell/dialogs/TFormBatch.h"
#include "editor/shell/dialogs/TFormCardInfo.h"
#include "editor/shell/dialogs/TFormPin.h"
#include "editor/shell/dialogs/TFormRestore.h"
#include "editor/shell/dialogs/TFormWrite.h"
#include "editor/shell/widgets/QtText.h"
#include "editor/sim/CardReport.h"
#include "editor/sim/JobLog.h"
#include "editor/sim/PhonebookRead.h"
#include "editor/sim/SimAccess.h"
#include "editor/sim/SimMessages.h"
#include "editor/sim/SimRestore.h"
#include "editor/sim/SimTransfer.h"

#include <QApplication>
#include <QEvent>
#include <QMainWindow>
#include <QStatusBar>
#include <exception>

namespace tarvik {
namespace {

// The window disabled with the busy cursor for as long as it lives. A disabled window can
// still be asked to close by the desktop; it stays open until the transfer, which lets the
// window repaint in the middle, has returned.
class BusyWindow : public QObject {
public:
    explicit BusyWindow(QWidget& window) : window_(window) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        window_.setEnabled(false);
        window_.installEventFilter(this);
    }
    BusyWindow(const BusyWindow&) = delete;
    BusyWindow& operator=(const BusyWindow&) = delete;
    ~BusyWindow() override {
        window_.removeEventFilter(this);
        window_.setEnabled(true);
        QApplication::restoreOverrideCursor();
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == &window_ && event->type() == QEvent::Close) {
            event->ignore();
            return true;
        }
        return false;
    }

private:
    QWidget& window_;
};

// The messages of the write's backup and of a restore.
constexpr std::string_view kBackupNotSaved =
    "The SIM backup cannot be saved, so nothing was written:";
constexpr std::string_view kBackupUnusable = "This SIM backup cannot be used:";
constexpr std::string_view kBackupDoesNotFit = "This SIM backup does not fit the SIM card:";
constexpr std::string_view kRestoreCaption = "Restore SIM";
constexpr std::string_view kBackupOfAnotherCard =
    "This SIM backup was taken of another SIM card. Restore it all the same?";
constexpr std::string_view kRestoreFailed = "The SIM could not be restored:";
constexpr std::string_view kSimRestored = "The SIM was restored from the backup";

} // namespace

PinAttempt DisableSimPin(const std::string& pin) {
    if (SimDisablePin(pin)) {
        return {true, 0};
    }
    return {false, SimPinRemaining()};
}

SimCommands::SimCommands(Parts parts)
    : parts_(parts), transferWindow_(parts.window, parts.prompts) {
    parts_.formPin.SetDisablePin(DisableSimPin);
    parts_.formWrite.SetReadCard([this] { return ReadCardForPreview(); });
}

void SimCommands::ShowStatus(const QString& text) {
    parts_.window.statusBar()->showMessage(text);
}

void SimCommands::ShowErrorWithReason(std::string_view text, const std::string& reason) {
    parts_.prompts.ShowError(Translated(parts_.language, text) + QStringLiteral("\n") +
                             QString::fromStdString(reason));
}

template <typename Transfer>
bool SimCommands::RunBusy(Transfer&& transfer) {
    try {
        const BusyWindow busy(parts_.window);
        transfer();
        return true;
    } catch (const std::exception& error) {
        parts_.prompts.ShowError(QString::fromLocal8Bit(error.what()));
        return false;
    }
}

void SimCommands::ButReadClick() {
    if (!parts_.prompts.AskOkCancel(Translated(parts_.language, kConfirmCaption),
                                    Translated(parts_.language, kReadFromSim))) {
        return;
    }
    SimConnect();
    if (!CheckCardAccess()) {
        return;
    }
    ProgramText& program = parts_.form.document().program.text();
    ReadResult read;
    if (RunBusy([&] { read = SimReadAll(port_, transferWindow_, program); })) {
        parts_.form.MemoSimExit();
    }
    if (read.ok && read.recordsLeftOut > 0) {
        ShowStatus(FromWindows1252(FormatCount(
            TranslateText(parts_.language, kRecordsLeftOutFormat), read.recordsLeftOut)));
    }
}

void SimCommands::ButWriteClick() {
    // A copy: nothing may change the text while it goes to the card.
    const std::vector<std::string> lines = parts_.form.document().program.text().lines();
    parts_.formWrite.SetProgram(lines);
    if (parts_.prompts.Exec(parts_.formWrite) != QDialog::Accepted) {
        return;
    }
    // After a preview the connection is open and the PIN out of the way already.
    SimConnect();
    if (!CheckCardAccess()) {
        return;
    }
    const bool deleteAll = parts_.formWrite.DeleteAll();
    WriteResult result;
    RunBusy([&] { result = SimWriteAll(port_, transferWindow_, lines, deleteAll, &backups_); });
    if (result.backupFailed) {
        ShowErrorWithReason(kBackupNotSaved, result.backupError);
    }
}

std::optional<std::vector<SimItem>> SimCommands::ReadCardForPreview() {
    SimConnect();
    if (!CheckCardAccess()) {
        return std::nullopt;
    }
    PhonebookRead read;
    RunBusy([&] { read = ReadPhonebookForPreview(port_, transferWindow_); });
    if (!read.phonebook) {
        return std::nullopt;
    }
    return std::move(read.phonebook->items);
}

void SimCommands::BatchSimClick() {
    const ProgramDocument& doc = parts_.form.document();
    TFormBatch dialog(parts_.language, parts_.prompts);
    dialog.SetProgram(DocumentFileBytes(doc), doc.program.text().lines(),
                      doc.FileName.empty() ? std::string("-") : doc.FileName);
    dialog.SetStores(backups_.folder(), JobLog::DefaultPath());
    dialog.SetChooseSitesFile([this] { return parts_.prompts.OpenFileName(QString()); });
    // The run connects to card after card itself.
    SimDropConnection();
    parts_.prompts.Exec(dialog);
}

void SimCommands::CardInfoClick() {
    SimConnect();
    if (QueryCardAccess() == CardAccess::NotFound) {
        parts_.prompts.ShowError(Translated(parts_.language, kSimNotFound));
        return;
    }
    TFormCardInfo dialog;
    std::vector<ReportLine> lines;
    RunBusy([&] { lines = CardReportLines(ReadCardReport()); });
    dialog.SetReport(lines);
    parts_.prompts.Exec(dialog);
}

void SimCommands::RestoreSimClick() {
    parts_.formRestore.SetBackups(backups_.List().backups);
    if (parts_.prompts.Exec(parts_.formRestore) != QDialog::Accepted) {
        return;
    }
    const std::optional<std::filesystem::path> chosen = parts_.formRestore.ChosenBackup();
    if (!chosen) {
        return;
    }
    const ParsedBackup loaded = BackupStore::Load(*chosen);
    if (!loaded.backup) {
        ShowErrorWithReason(kBackupUnusable, loaded.error);
        return;
    }
    SimConnect();
    if (!CheckCardAccess()) {
        return;
    }
    RestoreResult result;
    const auto restore = [&](bool anyCard) {
        return RunBusy([&] {
            result = SimRestore(port_, transferWindow_, *loaded.backup, {anyCard, &backups_});
        });
    };
    if (!restore(false)) {
        return;
    }
    if (result.outcome == RestoreOutcome::OtherCard &&
        parts_.prompts.AskOkCancel(Translated(parts_.language, kRestoreCaption),
                                   Translated(parts_.language, kBackupOfAnotherCard) +
                                       QStringLiteral("\n") +
                                       QString::fromStdString(result.reason)) &&
        !restore(true)) {
        return;
    }
    switch (result.outcome) {
    case RestoreOutcome::Restored:
        ShowStatus(Translated(parts_.language, kSimRestored));
        break;
    case RestoreOutcome::Refused:
        ShowErrorWithReason(kBackupDoesNotFit, result.reason);
        break;
    case RestoreOutcome::BackupFailed:
        ShowErrorWithReason(kBackupNotSaved, result.reason);
        break;
    case RestoreOutcome::WriteFailed:
    case RestoreOutcome::VerifyFailed:
        ShowErrorWithReason(kRestoreFailed, result.reason);
        break;
    case RestoreOutcome::OtherCard:  // the question was answered Cancel
    case RestoreOutcome::ReadFailed: // the caption said "Read Error"
        break;
    }
}

bool SimCommands::CheckCardAccess() {
    switch (QueryCardAccess()) {
    case CardAccess::Ready:
        return true;
    case CardAccess::NotFound:
        parts_.prompts.ShowError(Translated(parts_.language, kSimNotFound));
        return false;
    case CardAccess::Blocked:
        parts_.prompts.ShowError(Translated(parts_.language, kSimBlocked));
        return false;
    case CardAccess::NeedsPin:
        return parts_.prompts.Exec(parts_.formPin) == QDialog::Accepted;
    }
    return false;
}

void SimCommands::Disconnect() {
    SimDisconnect();
}

} // namespace tarvik
