// tarvik-art: writes the pictures the program draws as files, at build time: the device
// picture the program installs as "tarvik3.dat", and the desktop icon.
//
//   tarvik-art device OUTPUT
//   tarvik-art icon SIZE OUTPUT.png

#include "editor/shell/widgets/Pictures.h"

#include <QGuiApplication>
#include <QImage>
#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (argc == 3 && std::strcmp(argv[1], "device") == 0) {
        return tarvik::DevicePicture().save(QString::fromLocal8Bit(argv[2]), "PNG") ? 0 : 1;
    }
    if (argc == 4 && std::strcmp(argv[1], "icon") == 0) {
        const int size = QString::fromLocal8Bit(argv[2]).toInt();
        if (size > 0 && size <= 1024) {
            return tarvik::ApplicationIcon(size).save(QString::fromLocal8Bit(argv[3]), "PNG") ? 0
                                                                                              : 1;
        }
    }
    std::fprintf(stderr, "usage: tarvik-art device OUTPUT | tarvik-art icon SIZE OUTPUT.png\n");
    return 2;
}
