#include "setup/gui/CMainWindow.h"

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
class StartBitmapWindow : public QWidget {
public:
    explicit StartBitmapWindow(QPixmap bitmap) : m_bitmap(std::move(bitmap)) {
        setObjectName("kivSetupMainWindowClass");
        // A popup without a title and, as a tool window, without a taskbar button.
        setWindowFlags(Qt::Tool | Qt::FramelessWindowHint);
        setCursor(Qt::ArrowCursor);
    }

    ~StartBitmapWindow() override {
        // Destruction posts the quit message that ends the message loop.
        QCoreApplication::exit(0);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        const QRect client = rect().adjusted(1, 1, -1, -1);
        painter.fillRect(rect(), QColor(255, 255, 0));
        if (!m_bitmap.isNull()) {
            painter.drawPixmap(client.topLeft(), m_bitmap,
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
    QPixmap m_bitmap;
};

CMainWindow::CMainWindow(SetupLog& log, SetupPlatform& platform, TestHook* hook)
    : m_log(log), m_pHook(hook), m_files(log, platform) {}

CMainWindow::~CMainWindow() {
    delete m_hWnd.data();
}

bool CMainWindow::Create() {
    m_log.Log("Do CMainWindow::ExtraStartBitmap().");
    if (!ExtraStartBitmap()) {
        return false;
    }
    m_log.Log("Do CMainWindow::mwInitApplication().");
    if (!mwInitApplication()) {
        return false;
    }
    m_log.Log("Do CMainWindow::mwInitInstance().");
    if (!mwInitInstance()) {
        return false;
    }
    m_log.Log(" Finish CMainWindow::Create().");
    return true;
}

bool CMainWindow::ExtraStartBitmap() {
    return m_files.ExtraStartBitmap();
}

bool CMainWindow::mwInitApplication() {
    // The window's look lives in StartBitmapWindow; there is no class to register.
    m_log.Log("Finish CMainWindow::mwInitApplication().");
    return true;
}

bool CMainWindow::mwInitInstance() {
    // Only a Windows bitmap file loads, whatever its name says.
    QPixmap bitmap;
    const std::string& path = m_files.BitmapPath();
    if (!path.empty()) {
        bitmap.load(QString::fromStdString(path), "BMP");
    }
    const bool bLoaded = !bitmap.isNull();
    const QSize size = bLoaded ? bitmap.size() : QSize(0, 0);
    m_hWnd = new StartBitmapWindow(bitmap);
    m_hWnd->resize(size);
    if (const QScreen* screen = QApplication::primaryScreen()) {
        const QRect full = screen->geometry();
        const ScreenPoint centre = CentredPosition(
            {full.x(), full.y(), full.width(), full.height()}, size.width(), size.height());
        m_hWnd->move(centre.x, centre.y);
    }
    if (bLoaded) {
        m_log.Log("ShowWindow(m_hWnd, SW_NORMAL);");
        m_hWnd->show();
    } else {
        m_log.Log("ShowWindow(m_hWnd, SW_HIDE);");
        m_hWnd->hide();
    }
    m_hWnd->repaint();
    if (m_pHook != nullptr) {
        m_pHook->WindowCreated(*m_hWnd, bLoaded);
    }
    m_log.Log(" Finish CMainWindow::mwInitInstance().");
    return true;
}

bool CMainWindow::ExtractFile(const PackageEntry& entry, const std::string& strPackagedFile,
                              const std::string& strOutputPath) {
    return m_files.ExtractFile(entry, strPackagedFile, strOutputPath);
}

void CMainWindow::ClearStartBitmap() {
    m_files.ClearStartBitmap();
}

void CMainWindow::Destroy() {
    if (m_hWnd) {
        m_hWnd->hide();
        delete m_hWnd.data();
    }
}

void CMainWindow::OnWizardWindowClosed() {
    ShowSetupMessageBox(m_hWnd.data(), "WizardWindow post WM_WIZARDWNDCLOSED message.", "Info",
                        m_pHook);
    QCoreApplication::exit(0);
}

QWidget* CMainWindow::Window() const {
    return m_hWnd.data();
}

} // namespace setup::gui
