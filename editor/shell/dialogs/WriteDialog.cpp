#include "editor/shell/dialogs/WriteDialog.h"

#include "editor/form/TelephoneNumbers.h"
#include "editor/shell/widgets/QtText.h"
#include "editor/sim/WritePreview.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace tarvik {
namespace {

constexpr std::string_view kNotATelephoneNumber = "Not a telephone number";

} // namespace

WriteDialog::WriteDialog(const LanguageTable& table) : ShellDialog(&table), table_(table) {
    setObjectName(QStringLiteral("FormWrite"));
    setWindowTitle(QStringLiteral("Write to SIM?"));

    cbDelete_ = new QCheckBox(QStringLiteral("Delete SIM during write"), this);
    cbDelete_->setObjectName(QStringLiteral("CBDelete"));
    cbDelete_->setChecked(true);
    connect(cbDelete_, &QCheckBox::toggled, this, &WriteDialog::UpdatePreview);

    butPreview_ = new QPushButton(QStringLiteral("Preview"), this);
    butPreview_->setObjectName(QStringLiteral("ButPreview"));
    butPreview_->setAutoDefault(false);
    connect(butPreview_, &QPushButton::clicked, this, &WriteDialog::ButPreviewClick);

    labPreview_ = new QLabel(this);
    labPreview_->setObjectName(QStringLiteral("LabPreview"));
    labPreview_->setWordWrap(true);
    labPreview_->hide();
    listPreview_ = new QListWidget(this);
    listPreview_->setObjectName(QStringLiteral("ListPreview"));
    listPreview_->setMinimumSize(440, 160);
    listPreview_->hide();

    auto* buttons = new QDialogButtonBox(this);
    auto* ok = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    ok->setObjectName(QStringLiteral("ButOK"));
    ok->setDefault(true);
    auto* cancel = buttons->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("ButCancel"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* choice = new QHBoxLayout;
    choice->addWidget(cbDelete_);
    choice->addStretch();
    choice->addWidget(butPreview_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(choice);
    layout->addWidget(labPreview_);
    layout->addWidget(listPreview_);
    layout->addSpacing(12);
    layout->addWidget(buttons);
    setMinimumWidth(280);
}

bool WriteDialog::DeleteAll() const {
    return cbDelete_->isChecked();
}

void WriteDialog::SetReadCard(ReadCardFunction readCard) {
    readCard_ = std::move(readCard);
}

void WriteDialog::SetProgram(std::vector<std::string> lines) {
    lines_ = std::move(lines);
    card_.reset();
    UpdatePreview();
}

void WriteDialog::ShowPreview(std::vector<SimItem> card) {
    card_ = std::move(card);
    UpdatePreview();
}

void WriteDialog::ButPreviewClick() {
    if (!readCard_) {
        return;
    }
    // The card is read with the window's events still running: no second read meanwhile.
    butPreview_->setEnabled(false);
    std::optional<std::vector<SimItem>> card = readCard_();
    butPreview_->setEnabled(true);
    if (card) {
        ShowPreview(std::move(*card));
    }
}

void WriteDialog::UpdatePreview() {
    listPreview_->clear();
    if (!card_) {
        labPreview_->hide();
        listPreview_->hide();
        adjustSize();
        return;
    }
    const WritePreview preview = PreviewWrite(*card_, lines_, DeleteAll());
    labPreview_->setText(QString::fromStdString(PreviewSummary(preview, table_)));
    // Numbers a device cannot dial come first, flagged: the program may come from a file
    // written before the telephone fields refused such characters.
    const QString notDialable = FromWindows1252(TranslateText(table_, kNotATelephoneNumber));
    for (const std::string& line : UndialableEntries(lines_)) {
        auto* item =
            new QListWidgetItem(style()->standardIcon(QStyle::SP_MessageBoxWarning),
                                notDialable + QStringLiteral(": ") + FromWindows1252(line));
        listPreview_->addItem(item);
    }
    for (const EntryChange& change : preview.changes) {
        listPreview_->addItem(QString::fromStdString(ChangeLine(change, table_)));
    }
    labPreview_->show();
    listPreview_->setVisible(listPreview_->count() > 0);
    adjustSize();
}

} // namespace tarvik
