#include "editor/shell/dialogs/TFormAbout.h"

#include "editor/shell/widgets/Pictures.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

namespace tarvik {

TFormAbout::TFormAbout() : ShellDialog(nullptr) {
    setObjectName(QStringLiteral("FormAbout"));
    setWindowTitle(QStringLiteral("Tarvik"));

    auto* picture = new QLabel(this);
    picture->setObjectName(QStringLiteral("ImgAbout"));
    picture->setPixmap(QPixmap::fromImage(DevicePicture()));
    auto* name = new QLabel(QStringLiteral("Tarvik version 3.00"), this);
    name->setObjectName(QStringLiteral("LabVersion"));
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

} // namespace tarvik
