#include "editor/shell/dialogs/TFormRestore.h"

#include "editor/shell/widgets/QtText.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace tarvik {
namespace {

constexpr char kChooseText[] = "Choose the backup to write back to the SIM:";
constexpr char kNoBackupsText[] = "There are no SIM backups yet.";

} // namespace

TFormRestore::TFormRestore(const LanguageTable& table) : ShellDialog(&table), table_(table) {
    setObjectName(QStringLiteral("FormRestore"));
    setWindowTitle(QStringLiteral("Restore SIM"));

    labBackups_ = new QLabel(QString::fromLatin1(kChooseText), this);
    labBackups_->setObjectName(QStringLiteral("LabBackups"));
    listBackups_ = new QTreeWidget(this);
    listBackups_->setObjectName(QStringLiteral("ListBackups"));
    listBackups_->setColumnCount(3);
    listBackups_->setRootIsDecorated(false);
    listBackups_->setSelectionMode(QAbstractItemView::SingleSelection);
    listBackups_->setMinimumSize(460, 180);
    connect(listBackups_, &QTreeWidget::itemSelectionChanged, this, &TFormRestore::SelectionChange);
    connect(listBackups_, &QTreeWidget::itemDoubleClicked, this, &QDialog::accept);

    auto* buttons = new QDialogButtonBox(this);
    butRestore_ = buttons->addButton(QStringLiteral("Restore"), QDialogButtonBox::AcceptRole);
    butRestore_->setObjectName(QStringLiteral("ButRestore"));
    butRestore_->setDefault(true);
    butRestore_->setEnabled(false);
    auto* cancel = buttons->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("ButCancel"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(labBackups_);
    layout->addWidget(listBackups_);
    layout->addSpacing(8);
    layout->addWidget(buttons);
}

void TFormRestore::SetBackups(std::vector<BackupStore::Entry> backups) {
    backups_ = std::move(backups);
    // The headers are set here rather than left to the window's translation, which knows
    // no list headers.
    listBackups_->setHeaderLabels({Translated(table_, std::string_view("Date")),
                                   Translated(table_, std::string_view("ICCID")),
                                   Translated(table_, std::string_view("Records"))});
    listBackups_->clear();
    for (const BackupStore::Entry& backup : backups_) {
        auto* item = new QTreeWidgetItem(listBackups_);
        item->setText(0, QString::fromStdString(LocalTimeText(backup.saved)));
        item->setText(1, backup.iccid ? QString::fromStdString(*backup.iccid)
                                      : Translated(table_, std::string_view("unknown")));
        item->setText(2, QString::number(backup.usedRecords));
        item->setTextAlignment(2, Qt::AlignRight | Qt::AlignVCenter);
    }
    for (int column = 0; column < 3; ++column) {
        listBackups_->resizeColumnToContents(column);
    }
    labBackups_->setText(
        Translated(table_, std::string_view(backups_.empty() ? kNoBackupsText : kChooseText)));
    if (!backups_.empty()) {
        listBackups_->setCurrentItem(listBackups_->topLevelItem(0));
    }
    SelectionChange();
}

std::optional<std::filesystem::path> TFormRestore::ChosenBackup() const {
    const int row = listBackups_->indexOfTopLevelItem(listBackups_->currentItem());
    if (row < 0 || static_cast<std::size_t>(row) >= backups_.size() ||
        listBackups_->selectedItems().isEmpty()) {
        return std::nullopt;
    }
    return backups_[static_cast<std::size_t>(row)].path;
}

void TFormRestore::SelectionChange() {
    butRestore_->setEnabled(ChosenBackup().has_value());
}

} // namespace tarvik
