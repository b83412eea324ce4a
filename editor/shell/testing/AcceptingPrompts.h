#pragma once

#include "editor/shell/app/Prompts.h"

#include <QCoreApplication>
#include <QDialog>

namespace tarvik::testing {

// Prompts for programs that drive the windows without a person (screenshots, benchmarks):
// every question gets OK or Yes, every modal dialog is shown and closed with OK as it
// stands (the login with the factory user), file dialogs are cancelled, nothing is opened,
// and there is no beep or pause.
class AcceptingPrompts : public Prompts {
public:
    void ShowInfo(const QString&) override {}
    void ShowError(const QString&) override {}
    bool ShowErrorOfferingFolder(const QString&, const QString&) override { return false; }
    bool AskOkCancel(const QString&, const QString&) override { return true; }
    Answer AskYesNoCancel(const QString&, const QString&) override { return Answer::Yes; }
    std::optional<QString> OpenFileName(const QString&) override { return std::nullopt; }
    std::optional<QString> SaveFileName(const QString&) override { return std::nullopt; }
    std::optional<QString> OpenSitesFileName(const QString&) override { return std::nullopt; }
    std::optional<QString> SavePdfName(const QString&) override { return std::nullopt; }
    bool ChoosePrinter(QPrinter&) override { return false; }
    int Exec(QDialog& dialog) override {
        dialog.show();
        QCoreApplication::processEvents();
        dialog.accept();
        return QDialog::Accepted;
    }
    bool OpenDocument(const QString&) override { return false; }
    bool openText(const QString&) override { return false; }
    void Beep() override {}
    void Pause(std::chrono::milliseconds) override {}
};

} // namespace tarvik::testing
