#pragma once

#include <QString>
#include <chrono>
#include <optional>

class QDialog;
class QPrinter;

namespace tarvik {

// Everything the editor asks of the person in front of it, or shows to them and waits
// for: message boxes, file dialogs, modal dialogs, the opening of documents, the beep and
// the pause after a card error. Windows receive one Prompts and never call the toolkit's
// boxes themselves, so tests answer every question through a scripted implementation.
//
// Texts arrive already translated where the caller translates them; the boxes translate
// only their own captions ("Information", "Error"), through the language chosen.
class Prompts {
public:
    enum class Answer { Yes, No, Cancel };

    virtual ~Prompts() = default;

    // Information box, caption "Information", exclamation icon, OK.
    virtual void ShowInfo(const QString& text) = 0;
    // Error box, caption "Error", error icon, OK.
    virtual void ShowError(const QString& text) = 0;
    // Error box naming a file, with OK and a button captioned openFolder (already
    // translated); true when that button was pressed, to show the file's folder.
    virtual bool ShowErrorOfferingFolder(const QString& text, const QString& openFolder) = 0;
    // Question with OK and Cancel; true exactly when OK was pressed.
    virtual bool AskOkCancel(const QString& caption, const QString& text) = 0;
    // Question with Yes, No and Cancel; closing the box counts as Cancel.
    virtual Answer AskYesNoCancel(const QString& caption, const QString& text) = 0;

    // The file to open or to save to, starting in folder, offering the filters "*.sim" and
    // "*.*"; the save dialog appends ".sim" to a name typed without a suffix. Nothing when
    // the dialog was cancelled.
    virtual std::optional<QString> OpenFileName(const QString& folder) = 0;
    virtual std::optional<QString> SaveFileName(const QString& folder) = 0;
    // The sites file of a run over many cards, starting in folder, offering "*.csv" and
    // "*.*". Nothing when the dialog was cancelled.
    virtual std::optional<QString> OpenSitesFileName(const QString& folder) = 0;

    // The PDF file to export to, starting at suggested (a folder or a file name), offering
    // the filter "*.pdf" and appending ".pdf" to a name typed without a suffix. Nothing when
    // the dialog was cancelled.
    virtual std::optional<QString> SavePdfName(const QString& suggested) = 0;
    // The print dialog over printer: true when the user chose to print, with printer set up.
    virtual bool ChoosePrinter(QPrinter& printer) = 0;

    // Shows dialog modally and gives its result (QDialog::Accepted or Rejected).
    virtual int Exec(QDialog& dialog) = 0;

    // Opens a document with the program the desktop associates with it; false when none
    // could be started.
    virtual bool OpenDocument(const QString& path) = 0;
    // Opens a text file in the user's text editor (Notepad on Windows); false when none
    // could be started.
    virtual bool openText(const QString& path) = 0;

    // The default beep.
    virtual void Beep() = 0;
    // Waits while windows keep repainting and user input is held back.
    virtual void Pause(std::chrono::milliseconds duration) = 0;
};

// The captions of the information and error boxes, before translation.
inline constexpr char kInfoCaption[] = "Information";
inline constexpr char kErrorCaption[] = "Error";

} // namespace tarvik
