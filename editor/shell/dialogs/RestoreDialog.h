#pragma once

#include "editor/shell/dialogs/ShellDialog.h"
#include "editor/shell/dialogs/WriteDialog.h"
#include "editor/sim/BackupStore.h"
#include "editor/sim/CardRecords.h"

#include <filesystem>
#include <optional>
#include <vector>

class QLabel;
class QListWidget;
class QPushButton;
class QTreeWidget;

namespace tarvik {

// The choice of a SIM backup to restore: the backups, newest first, each with its date,
// the card's ICCID and how many phonebook records it holds. Restore is enabled while a
// backup is chosen. Below, the entries the chosen backup holds; Preview reads the card and
// shows instead what the restore would change on it, as a write's preview does.
class RestoreDialog : public ShellDialog {
public:
    explicit RestoreDialog(const LanguageTable& table);

    QTreeWidget& ListBackups() const { return *listBackups_; }
    QPushButton& ButRestore() const { return *butRestore_; }
    QPushButton& ButPreview() const { return *butPreview_; }
    QLabel& LabEntries() const { return *labEntries_; }
    QListWidget& ListEntries() const { return *listEntries_; }

    // The card operation Preview runs; without one, Preview does nothing.
    void SetReadCard(ReadCardFunction readCard);
    // Fills the list (the newest chosen), or says there is none; forgets an earlier preview.
    void SetBackups(std::vector<BackupStore::Entry> backups);
    // The backup chosen; nothing when none is.
    std::optional<std::filesystem::path> ChosenBackup() const;

private:
    void SelectionChange();
    void ButPreviewClick();
    void ShowEntries();

    const LanguageTable& table_;
    ReadCardFunction readCard_;
    std::vector<BackupStore::Entry> backups_;
    std::optional<std::vector<SimItem>> card_;
    QLabel* labBackups_;
    QTreeWidget* listBackups_;
    QPushButton* butPreview_;
    QLabel* labEntries_;
    QListWidget* listEntries_;
    QPushButton* butRestore_;
};

} // namespace tarvik
