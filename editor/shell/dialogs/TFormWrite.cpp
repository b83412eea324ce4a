#include "editor/shell/dialogs/TFormWrite.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QVBoxLayout>

namespace tarvik {

TFormWrite::TFormWrite(const LanguageTable& table) : ShellDialog(&table) {
    setObjectName(QStringLiteral("FormWrite"));
    setWindowTitle(QStringLiteral("Write to SIM?"));

    cbDelete_ = new QCheckBox(QStringLiteral("Delete SIM during write"), this);
    cbDelete_->setObjectName(QStringLiteral("CBDelete"));
    cbDelete_->setChecked(true);

    auto* buttons = new QDialogButtonBox(this);
    auto* ok = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    ok->setObjectName(QStringLiteral("ButOK"));
    ok->setDefault(true);
    auto* cancel = buttons->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("ButCancel"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(cbDelete_);
    layout->addSpacing(12);
    layout->addWidget(buttons);
    setMinimumWidth(280);
}

bool TFormWrite::DeleteAll() const {
    return cbDelete_->isChecked();
}

} // namespace tarvik
