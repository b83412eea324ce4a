#include "editor/sheet/SheetPdf.h"

#include "base/Windows1252.h"
#include "editor/form/ConfigSheet.h"
#include "editor/sheet/SheetPainter.h"

#include <QFile>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <cstdio>
#include <memory>

namespace tarvik {
namespace {

constexpr int kResolution = 300; // dots per inch of the page
constexpr double kMarginMm = 18;

// A Qt application for as long as the writing takes, when the program has none (the
// command line): fonts and the text layout need one, and the offscreen platform needs no
// display.
std::unique_ptr<QGuiApplication> EnsureApplication() {
    if (QCoreApplication::instance()) {
        return nullptr;
    }
    // Qt's notes about the session it runs without (no runtime folder, no display) are no
    // concern of the command line's user; its errors still show.
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
        if (type == QtCriticalMsg || type == QtFatalMsg) {
            std::fprintf(stderr, "%s\n", qPrintable(text));
        }
    });
    static int argc = 3;
    static char name[] = "tarvik-cli";
    static char option[] = "-platform";
    static char platform[] = "offscreen";
    static char* argv[] = {name, option, platform, nullptr};
    return std::make_unique<QGuiApplication>(argc, argv);
}

} // namespace

bool WriteSheetPdf(const ConfigSheet& sheet, const std::string& path, std::string& error) {
    const auto app = EnsureApplication();
    const QString file = QFile::decodeName(QByteArray::fromStdString(path));
    {
        // QPdfWriter says nothing when its file cannot be opened; find out first.
        QFile probe(file);
        if (!probe.open(QIODevice::WriteOnly)) {
            error = probe.errorString().toStdString();
            return false;
        }
    }
    QPdfWriter writer(file);
    writer.setResolution(kResolution);
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                     QMarginsF(kMarginMm, kMarginMm, kMarginMm, kMarginMm),
                                     QPageLayout::Millimeter));
    writer.setCreator(QStringLiteral("Tarvik"));
    writer.setTitle(QString::fromStdString(Windows1252ToUtf8(sheet.fileName)));
    if (!PaintSheet(sheet, writer)) {
        error = "cannot write the PDF";
        return false;
    }
    return true;
}

} // namespace tarvik
