#include "editor/shell/mainwindow/SimCommands.h"

#include "editor/core/FormatCount.h"
#include "editor/form/FormModel.h"
#include "editor/shell/app/Prompts.h"
#include "editor/shell/app/Settings.h"
#include "editor/shell/dialogs/BatchDialog.h"
#include "editor/shell/dialogs/CardInfoDialog.h"
#include "editor/shell/dialogs/PinDialog.h"
#include "editor/shell/dialogs/RestoreDialog.h"
#include "editor/shell/dialogs/WriteDialog.h"
#include "editor/shell/mainwindow/StatusNote.h"
#include "editor/shell/widgets/QtText.h"
#include "editor/sim/CardReport.h"
#include "editor/sim/JobLog.h"
#include "editor/sim/NoCardReason.h"
#include "editor/sim/PhonebookRead.h"
#include "editor/sim/SimAccess.h"
#include "editor/sim/SimMessages.h"
#include "editor/sim/SimRestore.h"
#include "editor/sim/SimTransfer.h"

#include <QApplication>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QMainWindow>
#include <QStandardPaths>
#include <QStatusBar>
#include <cstdlib>
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
// What the status bar says after a read or a write.
constexpr std::string_view kReadLines = "Read from the SIM: %d program lines";
constexpr std::string_view kReadOneLine = "Read from the SIM: 1 program line";
constexpr std::string_view kWrittenRecords = "Written to the SIM: %d records changed";
constexpr std::string_view kWrittenOneRecord = "Written to the SIM: 1 record changed";
constexpr std::string_view kBackupSaved = "backup saved";
constexpr std::string_view kNothingWritten = "The SIM was not written";
// The settings value that keeps the folder of the last sites file chosen.
constexpr char kLastSitesFolderKey[] = "LastSitesFolder";
// Why no SIM was found.
constexpr std::string_view kNoCardService = "The card service (pcscd) is not running";
constexpr std::string_view kNoReaders = "No card reader is connected";
constexpr std::string_view kReaderMissing = "This card reader is not connected:";
constexpr std::string_view kNoCardInReader = "There is no SIM card in the reader";

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
    parts_.formPin.SetPinRemaining(SimPinRemaining);
    parts_.formWrite.SetReadCard([this] { return ReadCardForPreview(); });
    parts_.formRestore.SetReadCard([this] { return ReadCardForPreview(); });
}

void SimCommands::ShowStatus(const QString& text) {
    StatusNote::Of(parts_.window).showText(text);
}

QString SimCommands::CountText(std::string_view one, std::string_view many, int count) const {
    return FromWindows1252(count == 1 ? TranslateText(parts_.language, one)
                                      : FormatCount(TranslateText(parts_.language, many), count));
}

QString SimCommands::CardText(const CardJob& job) const {
    QString text = job.iccid ? QString::fromStdString(*job.iccid)
                             : Translated(parts_.language, std::string_view("unknown"));
    text += QStringLiteral(": ");
    if (job.outcome == CardOutcome::Ok) {
        return text + WrittenText(job.changedRecords, job.backup.has_value());
    }
    const std::string_view word = OutcomeWord(job.outcome);
    text += QString::fromUtf8(word.data(), static_cast<qsizetype>(word.size()));
    if (!job.detail.empty()) {
        text += QStringLiteral(" (") + QString::fromStdString(job.detail) + QLatin1Char(')');
    }
    return text;
}

QString SimCommands::WrittenText(int changedRecords, bool backupSaved) const {
    QString text = CountText(kWrittenOneRecord, kWrittenRecords, changedRecords);
    if (backupSaved) {
        text += QStringLiteral("; ") + Translated(parts_.language, kBackupSaved);
    }
    return text;
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

void SimCommands::readSimIntoProgram() {
    ShowStatus({});
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
        parts_.form.leaveProgramMemo();
    }
    if (!read.ok) {
        return;
    }
    QString status = CountText(kReadOneLine, kReadLines, static_cast<int>(program.lines().size()));
    if (read.recordsLeftOut > 0) {
        status += QStringLiteral("; ") +
                  FromWindows1252(FormatCount(TranslateText(parts_.language, kRecordsLeftOutFormat),
                                              read.recordsLeftOut));
    }
    ShowStatus(status);
}

void SimCommands::writeProgramToSim() {
    // A copy: nothing may change the text while it goes to the card.
    const std::vector<std::string> lines = parts_.form.document().program.text().lines();
    ShowStatus({});
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
        ShowStatus(Translated(parts_.language, kNothingWritten));
        ShowErrorWithReason(kBackupNotSaved, result.backupError);
    } else if (result.ok()) {
        ShowStatus(WrittenText(result.changedRecords, result.backupPath.has_value()));
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

void SimCommands::writeBatch() {
    const ProgramDocument& doc = parts_.form.document();
    BatchDialog dialog(parts_.language, parts_.prompts);
    dialog.setProgram(DocumentFileBytes(doc), doc.program.text().lines(),
                      doc.fileName.empty() ? std::string("-") : doc.fileName);
    dialog.setStores(backups_.folder(), JobLog::defaultPath());
    dialog.setChooseSitesFile([this] { return ChooseSitesFile(); });
    dialog.setCardEnded([this](const CardJob& job) { ShowStatus(CardText(job)); });
    ShowStatus({});
    // The run connects to card after card itself.
    SimDropConnection();
    parts_.prompts.Exec(dialog);
}

void SimCommands::showCardInfo() {
    SimConnect();
    if (QueryCardAccess() == CardAccess::NotFound) {
        parts_.prompts.ShowError(Translated(parts_.language, kSimNotFound));
        return;
    }
    CardInfoDialog dialog;
    std::vector<ReportLine> lines;
    RunBusy([&] { lines = CardReportLines(ReadCardReport()); });
    dialog.SetReport(lines);
    parts_.prompts.Exec(dialog);
}

void SimCommands::restoreSim() {
    ShowStatus({});
    parts_.formRestore.SetBackups(backups_.list().backups);
    if (parts_.prompts.Exec(parts_.formRestore) != QDialog::Accepted) {
        return;
    }
    const std::optional<std::filesystem::path> chosen = parts_.formRestore.ChosenBackup();
    if (!chosen) {
        return;
    }
    const ParsedBackup loaded = BackupStore::load(*chosen);
    if (!loaded.backup) {
        ShowErrorWithReason(kBackupUnusable, loaded.error);
        return;
    }
    // After a preview the connection is open and the PIN out of the way already.
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

std::optional<QString> SimCommands::ChooseSitesFile() {
    const QString key = QString::fromLatin1(kLastSitesFolderKey);
    QString folder = parts_.settings ? parts_.settings->ReadText(key, QString()) : QString();
    if (folder.isEmpty() || !QFileInfo(folder).isDir()) {
        folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    }
    if (folder.isEmpty() || !QFileInfo(folder).isDir()) {
        folder = QDir::homePath();
    }
    const std::optional<QString> chosen = parts_.prompts.OpenSitesFileName(folder);
    if (chosen && parts_.settings) {
        parts_.settings->WriteText(key, QFileInfo(*chosen).absolutePath());
    }
    return chosen;
}

QString SimCommands::SimNotFoundText() const {
    const char* named = std::getenv("QUENLIB_READER");
    const std::optional<std::string> reader =
        named == nullptr || *named == '\0' || std::string_view(named) == "*"
            ? std::nullopt
            : std::optional<std::string>(named);
    const NoCardReason reason = WhyNoCard(ListReaders(), reader);
    QString text = Translated(parts_.language, kSimNotFound);
    switch (reason.kind) {
    case NoCardKind::NoService:
        return text + QLatin1Char('\n') + Translated(parts_.language, kNoCardService);
    case NoCardKind::NoReaders:
        return text + QLatin1Char('\n') + Translated(parts_.language, kNoReaders);
    case NoCardKind::ReaderMissing:
        return text + QLatin1Char('\n') + Translated(parts_.language, kReaderMissing) +
               QLatin1Char(' ') + QString::fromLocal8Bit(reason.reader);
    case NoCardKind::NoCard:
        return text + QLatin1Char('\n') + Translated(parts_.language, kNoCardInReader);
    case NoCardKind::NotASim:
        break;
    }
    return text;
}

bool SimCommands::CheckCardAccess() {
    switch (QueryCardAccess()) {
    case CardAccess::Ready:
        return true;
    case CardAccess::NotFound:
        parts_.prompts.ShowError(SimNotFoundText());
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
