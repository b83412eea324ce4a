#pragma once

#include "editor/shell/app/Prompts.h"

#include <QString>
#include <QStringList>
#include <chrono>
#include <deque>
#include <functional>
#include <optional>
#include <vector>

class QDialog;

namespace tarvik::testing {

// Prompts for tests: every question is answered from a queue the test fills beforehand,
// and everything shown is recorded. A question with no answer queued fails the test and
// is answered as if cancelled.
//
// A modal dialog is run for real: Exec shows it, hands it to the next queued closure,
// which fills its widgets and clicks its buttons as a person would, and returns the
// result the dialog closed with.
//
//   prompts.QueueExec([](QDialog& dialog) {
//       QTest::keyClicks(dialog.findChild<QLineEdit*>("EdPin"), "1234");
//       dialog.findChild<QPushButton*>("ButOk")->click();
//   });
class ScriptedPrompts : public Prompts {
public:
    using DialogScript = std::function<void(QDialog&)>;

    // One question as it was asked.
    struct Question {
        QString caption;
        QString text;
    };

    ~ScriptedPrompts() override;

    void QueueOkCancel(bool ok);
    void QueueYesNoCancel(Answer answer);
    // A file name, or nothing to cancel the dialog.
    void QueueOpenFile(std::optional<QString> path);
    void QueueSaveFile(std::optional<QString> path);
    void QueueOpenSitesFile(std::optional<QString> path);
    // The PDF to export to, or nothing to cancel the dialog.
    void QueueSavePdf(std::optional<QString> path);
    // The print dialog: printing goes to a PDF file at path, or nothing cancels it.
    void QueuePrinter(std::optional<QString> pdfPath);
    void QueueExec(DialogScript script);
    void QueueOpenDocument(bool opened);
    // The answer to an error box that offers "Open folder": true presses it.
    void QueueOpenFolder(bool open);

    // What was shown and asked, in order.
    QStringList infos;
    QStringList errors;
    std::vector<Question> questions;
    QStringList openFolders;     // start folders of the open dialogs
    QStringList saveFolders;     // start folders of the save dialogs
    QStringList sitesFolders;    // start folders of the sites file dialogs
    QStringList pdfSuggestions;  // where the PDF export dialogs started
    QStringList openedDocuments; // documents and text files handed to their programs
    QStringList execTitles;      // window titles of the dialogs run, as shown
    int beeps = 0;
    std::vector<std::chrono::milliseconds> pauses;

    // True when every queued answer was used.
    bool AllAnswersUsed() const;

    void ShowInfo(const QString& text) override;
    void ShowError(const QString& text) override;
    bool ShowErrorOfferingFolder(const QString& text, const QString& openFolder) override;
    bool AskOkCancel(const QString& caption, const QString& text) override;
    Answer AskYesNoCancel(const QString& caption, const QString& text) override;
    std::optional<QString> OpenFileName(const QString& folder) override;
    std::optional<QString> SaveFileName(const QString& folder) override;
    std::optional<QString> OpenSitesFileName(const QString& folder) override;
    std::optional<QString> SavePdfName(const QString& suggested) override;
    bool ChoosePrinter(QPrinter& printer) override;
    int Exec(QDialog& dialog) override;
    bool OpenDocument(const QString& path) override;
    bool openText(const QString& path) override;
    void Beep() override;
    void Pause(std::chrono::milliseconds duration) override;

private:
    std::deque<bool> okCancel_;
    std::deque<Answer> yesNoCancel_;
    // A null string stands for a cancelled dialog.
    std::deque<QString> openFiles_;
    std::deque<QString> saveFiles_;
    std::deque<QString> sitesFiles_;
    std::deque<QString> pdfFiles_;
    std::deque<QString> printers_;
    std::deque<DialogScript> dialogs_;
    std::deque<bool> documents_;
    std::deque<bool> openFolders_;
};

} // namespace tarvik::testing
