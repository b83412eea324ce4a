#include "editor/shell/dialogs/AboutDialog.h"

#include "editor/shell/widgets/Pictures.h"
#include "editor/shell/widgets/QtText.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

namespace tarvik {

namespace {

constexpr std::string_view kVersion = "Tarvik version 3.00";

} // namespace

AboutDialog::AboutDialog(const LanguageTable* language)
    : ShellDialog(nullptr), language_(language) {
    setObjectName(QStringLiteral("FormAbout"));
    setWindowTitle(QStringLiteral("Tarvik"));

    auto* picture = new QLabel(this);
    picture->setObjectName(QStringLiteral("ImgAbout"));
    picture->setPixmap(QPixmap::fromImage(DevicePicture()));
    auto* name = new QLabel(FromWindows1252(kVersion), this);
    name->setObjectName(QStringLiteral("LabVersion"));
    labVersion_ = name;
    QFont font = name->font();
    font.setBold(true);
    font.setPointSizeF(font.pointSizeF() * 1.2);
    name->setFont(font);

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("ButOK"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    auto* content = new QHBoxLayout;
    content->addWidget(picture);
    content->addSpacing(12);
    content->addWidget(name);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(content);
    layout->addSpacing(8);
    layout->addWidget(ok, 0, Qt::AlignHCenter);
}

void AboutDialog::prepareShow() {
    if (language_) {
        labVersion_->setText(Translated(*language_, kVersion));
    }
}

} // namespace tarvik
