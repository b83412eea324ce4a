#pragma once

#include "editor/shell/app/Prompts.h"

namespace tarvik {

class LanguageTable;

// Prompts answered by the person at the desktop: message boxes, the file dialogs, the
// desktop's document opener and the system beep. Boxes belong to the active window.
class MessagePrompts : public Prompts {
public:
    // The language of the boxes' own captions; English until one is given.
    void SetLanguage(const LanguageTable* language) { language_ = language; }

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
    QString Caption(const char* english) const;

    const LanguageTable* language_ = nullptr;
};

} // namespace tarvik
