#pragma once

#include "editor/shell/dialogs/ShellDialog.h"
#include "editor/sim/CardRecords.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

class QCheckBox;
class QLabel;
class QListWidget;
class QPushButton;

namespace tarvik {

// Reads the card's records for a preview; nothing when it could not (the reason was shown).
using ReadCardFunction = std::function<std::optional<std::vector<SimItem>>()>;

// The question before a card write, with the choice to clear the card's other records.
// The choice starts ticked and keeps the user's last setting for the rest of the run.
// Preview reads the card and shows what the write would change, summed up ("4 entries
// change, 2 contacts that are not part of the program will be deleted") with the list
// below; ticking or unticking the choice updates both.
class WriteDialog : public ShellDialog {
public:
    explicit WriteDialog(const LanguageTable& table);

    QCheckBox& CBDelete() const { return *cbDelete_; }
    QPushButton& ButPreview() const { return *butPreview_; }
    QLabel& LabPreview() const { return *labPreview_; }
    QListWidget& ListPreview() const { return *listPreview_; }
    // Whether the write shall clear the records the program does not use.
    bool DeleteAll() const;

    // The card operation Preview runs; without one, Preview does nothing.
    void SetReadCard(ReadCardFunction readCard);
    // The program the write would put on the card (8-bit lines); forgets an earlier preview.
    void SetProgram(std::vector<std::string> lines);
    // Shows the preview of the program over the card's records.
    void ShowPreview(std::vector<SimItem> card);

private:
    void ButPreviewClick();
    void UpdatePreview();

    const LanguageTable& table_;
    ReadCardFunction readCard_;
    std::vector<std::string> lines_;
    std::optional<std::vector<SimItem>> card_;
    QCheckBox* cbDelete_;
    QPushButton* butPreview_;
    QLabel* labPreview_;
    QListWidget* listPreview_;
};

} // namespace tarvik
