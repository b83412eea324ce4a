// tarvik-start-bitmap FILE: draws the picture that Tarvik's installer shows while it unpacks,
// and writes it as a Windows bitmap, the only kind of picture setup loads.

#include <QColor>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QString>
#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: tarvik-start-bitmap FILE\n");
        return 1;
    }
    // Drawing text needs a GUI application, but nothing is shown.
    int qtArgc = 3;
    char platformOption[] = "-platform";
    char platform[] = "offscreen";
    char* qtArgv[] = {argv[0], platformOption, platform, nullptr};
    QGuiApplication app(qtArgc, qtArgv);

    QImage picture(420, 150, QImage::Format_RGB32);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    QLinearGradient sky(0, 0, 0, picture.height());
    sky.setColorAt(0, QColor(0x15, 0x3a, 0x63));
    sky.setColorAt(1, QColor(0x2c, 0x6e, 0xa8));
    painter.fillRect(picture.rect(), sky);
    painter.fillRect(QRect(0, 118, picture.width(), 32), QColor(0x10, 0x2a, 0x48));

    // A SIM card, its corner cut, with the contact pad.
    painter.setPen(QPen(QColor(0xe8, 0xee, 0xf4), 2));
    painter.setBrush(QColor(0x3d, 0x84, 0xc6));
    const QPolygon card(
        {QPoint(28, 28), QPoint(78, 28), QPoint(94, 44), QPoint(94, 100), QPoint(28, 100)});
    painter.drawPolygon(card);
    painter.setBrush(QColor(0xe3, 0xb8, 0x4a));
    painter.setPen(QPen(QColor(0x8a, 0x66, 0x1c), 1));
    painter.drawRoundedRect(QRect(42, 54, 36, 30), 4, 4);

    QFont title = painter.font();
    title.setPixelSize(40);
    title.setBold(true);
    painter.setFont(title);
    painter.setPen(Qt::white);
    painter.drawText(QRect(116, 22, 290, 50), Qt::AlignLeft | Qt::AlignVCenter, "Tarvik");
    QFont subtitle = painter.font();
    subtitle.setPixelSize(14);
    subtitle.setBold(false);
    painter.setFont(subtitle);
    painter.setPen(QColor(0xd6, 0xe4, 0xf2));
    painter.drawText(QRect(118, 70, 290, 40), Qt::AlignLeft | Qt::TextWordWrap,
                     "SIM programs for GSM alarm and remote-control communicators");
    painter.setPen(QColor(0xf4, 0xd0, 0x6a));
    painter.drawText(QRect(16, 118, picture.width() - 32, 32), Qt::AlignLeft | Qt::AlignVCenter,
                     "Installing, please wait...");
    painter.end();

    if (!picture.save(QString::fromLocal8Bit(argv[1]), "BMP")) {
        std::fprintf(stderr, "tarvik-start-bitmap: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
