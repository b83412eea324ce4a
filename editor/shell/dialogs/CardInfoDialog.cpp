#include "editor/shell/dialogs/CardInfoDialog.h"

#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace tarvik {

CardInfoDialog::CardInfoDialog() : ShellDialog(nullptr) {
    setObjectName(QStringLiteral("FormCardInfo"));
    setWindowTitle(QStringLiteral("Card information"));

    rows_ = new QFormLayout;
    rows_->setLabelAlignment(Qt::AlignLeft);
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("ButOK"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(rows_);
    layout->addSpacing(8);
    layout->addWidget(ok, 0, Qt::AlignHCenter);
}

void CardInfoDialog::SetReport(const std::vector<ReportLine>& lines) {
    while (rows_->rowCount() > 0) {
        rows_->removeRow(0);
    }
    int row = 0;
    for (const ReportLine& line : lines) {
        auto* value = new QLabel(QString::fromStdString(line.value), this);
        value->setObjectName(QStringLiteral("LabCardInfo%1").arg(row++));
        value->setTextInteractionFlags(Qt::TextSelectableByMouse);
        value->setWordWrap(true);
        value->setMinimumWidth(360);
        rows_->addRow(QString::fromStdString(line.label + ":"), value);
    }
}

} // namespace tarvik
