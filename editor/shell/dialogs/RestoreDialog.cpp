#include "editor/shell/dialogs/RestoreDialog.h"

#include "editor/shell/widgets/QtText.h"
#include "editor/sim/RestorePreview.h"
#include "editor/sim/SimBackup.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace tarvik {
namespace {

constexpr char kChooseText[] = "Choose the backup to write back to the SIM:";
constexpr char kNoBackupsText[] = "There are no SIM backups yet.";
constexpr std::string_view kBackupHolds = "Entries in this backup:";
constexpr std::string_view kBackupEmpty = "This backup holds no entries";
constexpr std::string_view kBackupUnusable = "This SIM backup cannot be used:";

} // namespace

RestoreDialog::RestoreDialog(const LanguageTable& table) : ShellDialog(&table), table_(table) {
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
    connect(listBackups_, &QTreeWidget::itemSelectionChanged, this,
            &RestoreDialog::SelectionChange);
    connect(listBackups_, &QTreeWidget::itemDoubleClicked, this, &QDialog::accept);

    butPreview_ = new QPushButton(QStringLiteral("Preview"), this);
    butPreview_->setObjectName(QStringLiteral("ButPreview"));
    butPreview_->setAutoDefault(false);
    connect(butPreview_, &QPushButton::clicked, this, &RestoreDialog::ButPreviewClick);
    labEntries_ = new QLabel(this);
    labEntries_->setObjectName(QStringLiteral("LabEntries"));
    labEntries_->setWordWrap(true);
    listEntries_ = new QListWidget(this);
    listEntries_->setObjectName(QStringLiteral("ListEntries"));
    listEntries_->setMinimumSize(460, 160);

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
    auto* entriesRow = new QHBoxLayout;
    entriesRow->addWidget(labEntries_, 1);
    entriesRow->addWidget(butPreview_, 0, Qt::AlignBottom);
    layout->addLayout(entriesRow);
    layout->addWidget(listEntries_);
    layout->addSpacing(8);
    layout->addWidget(buttons);
}

void RestoreDialog::SetReadCard(ReadCardFunction readCard) {
    readCard_ = std::move(readCard);
}

void RestoreDialog::SetBackups(std::vector<BackupStore::Entry> backups) {
    backups_ = std::move(backups);
    card_.reset();
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

std::optional<std::filesystem::path> RestoreDialog::ChosenBackup() const {
    const int row = listBackups_->indexOfTopLevelItem(listBackups_->currentItem());
    if (row < 0 || static_cast<std::size_t>(row) >= backups_.size() ||
        listBackups_->selectedItems().isEmpty()) {
        return std::nullopt;
    }
    return backups_[static_cast<std::size_t>(row)].path;
}

void RestoreDialog::SelectionChange() {
    butRestore_->setEnabled(ChosenBackup().has_value());
    butPreview_->setEnabled(ChosenBackup().has_value());
    ShowEntries();
}

void RestoreDialog::ButPreviewClick() {
    if (!readCard_) {
        return;
    }
    // The card is read with the window's events still running: no second read meanwhile.
    butPreview_->setEnabled(false);
    std::optional<std::vector<SimItem>> card = readCard_();
    butPreview_->setEnabled(ChosenBackup().has_value());
    if (card) {
        card_ = std::move(card);
        ShowEntries();
    }
}

void RestoreDialog::ShowEntries() {
    listEntries_->clear();
    const std::optional<std::filesystem::path> chosen = ChosenBackup();
    if (!chosen) {
        labEntries_->clear();
        return;
    }
    const ParsedBackup loaded = BackupStore::load(*chosen);
    if (!loaded.backup) {
        labEntries_->setText(Translated(table_, kBackupUnusable) + QLatin1Char(' ') +
                             QString::fromStdString(loaded.error));
        return;
    }
    if (card_) {
        // What the restore would change on the card read by Preview.
        const WritePreview preview = PreviewRestore(*card_, *loaded.backup);
        labEntries_->setText(QString::fromStdString(RestoreSummary(preview, table_)));
        for (const EntryChange& change : preview.changes) {
            listEntries_->addItem(QString::fromStdString(ChangeLine(change, table_)));
        }
        return;
    }
    const std::vector<SimItem> items = BackupItems(*loaded.backup);
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (!items[i].empty()) {
            listEntries_->addItem(
                QString::fromStdString(BackupEntryLine(items[i], static_cast<int>(i), table_)));
        }
    }
    labEntries_->setText(
        Translated(table_, listEntries_->count() > 0 ? kBackupHolds : kBackupEmpty));
}

} // namespace tarvik
