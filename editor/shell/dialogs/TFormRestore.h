#pragma once

#include "editor/shell/dialogs/ShellDialog.h"
#include "editor/sim/BackupStore.h"

#include <filesystem>
#include <optional>
#include <vector>

class QLabel;
class QPushButton;
class QTreeWidget;

namespace tarvik {

// The choice of a SIM backup to restore: the backups, newest first, each with its date,
// the card's ICCID and how many phonebook records it holds. Restore is enabled while a
// backup is chosen.
class TFormRestore : public ShellDialog {
public:
    explicit TFormRestore(const LanguageTable& table);

    QTreeWidget& ListBackups() const { return *listBackups_; }
    QPushButton& ButRestore() const { return *butRestore_; }

    // Fills the list (the newest chosen), or says there is none.
    void SetBackups(std::vector<BackupStore::Entry> backups);
    // The backup chosen; nothing when none is.
    std::optional<std::filesystem::path> ChosenBackup() const;

private:
    void SelectionChange();

    const LanguageTable& table_;
    std::vector<BackupStore::Entry> backups_;
    QLabel* labBackups_;
    QTreeWidget* listBackups_;
    QPushButton* butRestore_;
};

} // namespace tarvik
