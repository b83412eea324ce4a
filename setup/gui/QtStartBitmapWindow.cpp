#include "setup/gui/QtStartBitmapWindow.h"

#include "setup/CornerPlacement.h"
#include "setup/gui/SetupMessageBox.h"
#include "setup/gui/TestHook.h"

#include <QApplication>
#include <QCloseEvent>
#include <QPainter>
#include <QPixmap>
#include <QScreen>
#include <QWidget>

namespace setup::gui {

// The window itself: the bitmap from its top-left corner inside a one-pixel border, on a
// yellow background where the bitmap does not reach.
class StartBitmapWidget : public QWidget {
public:
    explicit StartBitmapWidget(QPixmap bitmap) : bitmap_(std::move(bitmap)) {
        setObjectName("kivSetupMainWindowClass");
        // A popup without a title and, as a tool window, without a taskbar button.
        setWindowFlags(Qt::Tool | Qt::FramelessWindowHint);
        setCursor(Qt::ArrowCursor);
    }

    ~StartBitmapWidget() override {
        // Destruction posts the quit message that ends the message loop.
        QCoreApplication::exit(0);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        const QRect client = rect().adjusted(1, 1, -1, -1);
        painter.fillRect(rect(), QColor(255, 255, 0));
        if (!bitmap_.isNull()) {
            painter.drawPixmap(client.topLeft(), bitmap_,
                               QRect(0, 0, client.width(), client.height()));
        }
        painter.setPen(Qt::black);
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }

    void closeEvent(QCloseEvent* event) override {
        event->accept();
        deleteLater();
    }

private:
    QPixmap bitmap_;
};

QtStartBitmapWindow::QtStartBitmapWindow(SetupLog& log, SetupPlatform& platform, TestHook* hook)
    : log_(log), hook_(hook), files_(log, platform) {}

QtStartBitmapWindow::~QtStartBitmapWindow() {
    delete window_.data();
}

bool QtStartBitmapWindow::create() {
    log_.log("Do CMainWindow::ExtraStartBitmap().");
    if (!extraStartBitmap()) {
        return false;
    }
    log_.log("Do CMainWindow::mwInitApplication().");
    if (!mwInitApplication()) {
        return false;
    }
    log_.log("Do CMainWindow::mwInitInstance().");
    if (!mwInitInstance()) {
        return false;
    }
    log_.log(" Finish CMainWindow::Create().");
    return true;
}

bool QtStartBitmapWindow::extraStartBitmap() {
    return files_.extraStartBitmap();
}

bool QtStartBitmapWindow::mwInitApplication() {
    // The window's look lives in StartBitmapWidget; there is no class to register.
    log_.log("Finish CMainWindow::mwInitApplication().");
    return true;
}

bool QtStartBitmapWindow::mwInitInstance() {
    // Only a Windows bitmap file loads, whatever its name says.
    QPixmap bitmap;
    const std::string& path = files_.bitmapPath();
    if (!path.empty()) {
        bitmap.load(QString::fromStdString(path), "BMP");
    }
    const bool loaded = !bitmap.isNull();
    const QSize size = loaded ? bitmap.size() : QSize(0, 0);
    window_ = new StartBitmapWidget(bitmap);
    window_->resize(size);
    if (const QScreen* screen = QApplication::primaryScreen()) {
        const QRect full = screen->geometry();
        const ScreenPoint centre = CentredPosition(
            {full.x(), full.y(), full.width(), full.height()}, size.width(), size.height());
        window_->move(centre.x, centre.y);
    }
    if (loaded) {
        log_.log("ShowWindow(m_hWnd, SW_NORMAL);");
        window_->show();
    } else {
        log_.log("ShowWindow(m_hWnd, SW_HIDE);");
        window_->hide();
    }
    window_->repaint();
    if (hook_ != nullptr) {
        hook_->windowCreated(*window_, loaded);
    }
    log_.log(" Finish CMainWindow::mwInitInstance().");
    return true;
}

bool QtStartBitmapWindow::extractFile(const PackageEntry& entry, const std::string& packagedFile,
                                      const std::string& outputPath) {
    return files_.extractFile(entry, packagedFile, outputPath);
}

void QtStartBitmapWindow::clearStartBitmap() {
    files_.clearStartBitmap();
}

void QtStartBitmapWindow::destroy() {
    if (window_) {
        window_->hide();
        delete window_.data();
    }
}

void QtStartBitmapWindow::onWizardWindowClosed() {
    ShowSetupMessageBox(window_.data(), "WizardWindow post WM_WIZARDWNDCLOSED message.", "Info",
                        hook_);
    QCoreApplication::exit(0);
}

QWidget* QtStartBitmapWindow::window() const {
    return window_.data();
}

} // namespace setup::gui
