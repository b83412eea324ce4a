#include "editor/shell/testing/ScriptedPrompts.h"

#include <QCoreApplication>
#include <QDialog>
#include <QPrinter>
#include <gtest/gtest.h>

namespace tarvik::testing {
namespace {

// The next answer of queue, or fallback with a test failure naming what was asked.
template <typename T>
T Next(std::deque<T>& queue, T fallback, const char* what, const QString& text) {
    if (queue.empty()) {
        ADD_FAILURE() << "no answer queued for " << what << ": " << text.toStdString();
        return fallback;
    }
    T answer = std::move(queue.front());
    queue.pop_front();
    return answer;
}

} // namespace

ScriptedPrompts::~ScriptedPrompts() {
    EXPECT_TRUE(AllAnswersUsed()) << "answers were queued that no prompt asked for";
}

void ScriptedPrompts::QueueOkCancel(bool ok) {
    okCancel_.push_back(ok);
}

void ScriptedPrompts::QueueYesNoCancel(Answer answer) {
    yesNoCancel_.push_back(answer);
}

void ScriptedPrompts::QueueOpenFile(std::optional<QString> path) {
    openFiles_.push_back(path.value_or(QString()));
}

void ScriptedPrompts::QueueSaveFile(std::optional<QString> path) {
    saveFiles_.push_back(path.value_or(QString()));
}

void ScriptedPrompts::QueueSavePdf(std::optional<QString> path) {
    pdfFiles_.push_back(path.value_or(QString()));
}

void ScriptedPrompts::QueuePrinter(std::optional<QString> pdfPath) {
    printers_.push_back(pdfPath.value_or(QString()));
}

void ScriptedPrompts::QueueExec(DialogScript script) {
    dialogs_.push_back(std::move(script));
}

void ScriptedPrompts::QueueOpenFolder(bool open) {
    openFolders_.push_back(open);
}

bool ScriptedPrompts::ShowErrorOfferingFolder(const QString& text, const QString& openFolder) {
    errors.push_back(text);
    return Next(openFolders_, false, "an error box offering", openFolder);
}

void ScriptedPrompts::QueueOpenSitesFile(std::optional<QString> path) {
    sitesFiles_.push_back(path.value_or(QString()));
}

std::optional<QString> ScriptedPrompts::OpenSitesFileName(const QString& folder) {
    sitesFolders.push_back(folder);
    const QString path = Next(sitesFiles_, QString(), "a sites file dialog", folder);
    return path.isNull() ? std::nullopt : std::optional(path);
}

void ScriptedPrompts::QueueOpenDocument(bool opened) {
    documents_.push_back(opened);
}

bool ScriptedPrompts::AllAnswersUsed() const {
    return okCancel_.empty() && yesNoCancel_.empty() && openFiles_.empty() && saveFiles_.empty() &&
           sitesFiles_.empty() && pdfFiles_.empty() && printers_.empty() && dialogs_.empty() &&
           documents_.empty() && openFolders_.empty();
}

void ScriptedPrompts::ShowInfo(const QString& text) {
    infos.push_back(text);
}

void ScriptedPrompts::ShowError(const QString& text) {
    errors.push_back(text);
}

bool ScriptedPrompts::AskOkCancel(const QString& caption, const QString& text) {
    questions.push_back({caption, text});
    return Next(okCancel_, false, "an OK/Cancel question", text);
}

Prompts::Answer ScriptedPrompts::AskYesNoCancel(const QString& caption, const QString& text) {
    questions.push_back({caption, text});
    return Next(yesNoCancel_, Answer::Cancel, "a Yes/No/Cancel question", text);
}

std::optional<QString> ScriptedPrompts::OpenFileName(const QString& folder) {
    openFolders.push_back(folder);
    const QString path = Next(openFiles_, QString(), "an open dialog", folder);
    return path.isNull() ? std::nullopt : std::optional<QString>(path);
}

std::optional<QString> ScriptedPrompts::SaveFileName(const QString& folder) {
    saveFolders.push_back(folder);
    const QString path = Next(saveFiles_, QString(), "a save dialog", folder);
    return path.isNull() ? std::nullopt : std::optional<QString>(path);
}

std::optional<QString> ScriptedPrompts::SavePdfName(const QString& suggested) {
    pdfSuggestions.push_back(suggested);
    const QString path = Next(pdfFiles_, QString(), "a PDF export dialog", suggested);
    return path.isNull() ? std::nullopt : std::optional<QString>(path);
}

bool ScriptedPrompts::ChoosePrinter(QPrinter& printer) {
    const QString path = Next(printers_, QString(), "a print dialog", printer.docName());
    if (path.isNull()) {
        return false;
    }
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    return true;
}

int ScriptedPrompts::Exec(QDialog& dialog) {
    DialogScript script = Next(dialogs_, DialogScript(), "a modal dialog", dialog.windowTitle());
    dialog.setResult(QDialog::Rejected);
    dialog.setModal(true);
    dialog.show();
    QCoreApplication::processEvents();
    execTitles.push_back(dialog.windowTitle());
    if (script) {
        script(dialog);
    }
    QCoreApplication::processEvents();
    if (dialog.isVisible()) {
        ADD_FAILURE() << "the script left the dialog \"" << dialog.windowTitle().toStdString()
                      << "\" open; closing it";
        dialog.reject();
    }
    return dialog.result();
}

bool ScriptedPrompts::OpenDocument(const QString& path) {
    openedDocuments.push_back(path);
    return Next(documents_, false, "opening a document", path);
}

bool ScriptedPrompts::openText(const QString& path) {
    // A text file is a document like any other here: recorded and answered alike.
    return OpenDocument(path);
}

void ScriptedPrompts::Beep() {
    ++beeps;
}

void ScriptedPrompts::Pause(std::chrono::milliseconds duration) {
    pauses.push_back(duration);
}

} // namespace tarvik::testing
