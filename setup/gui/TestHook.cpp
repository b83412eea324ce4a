#include "setup/gui/TestHook.h"

#include "setup/gui/kivCDlgProg.h"

#include <QAbstractButton>
#include <QDialog>
#include <QFile>
#include <QMessageBox>
#include <QPixmap>
#include <QScreen>
#include <QStringList>
#include <QTimer>
#include <chrono>
#include <cstdlib>

namespace setup::gui {

std::unique_ptr<TestHook> TestHook::FromEnvironment() {
    const char* settings = std::getenv("SETUP_TEST_HOOK");
    if (settings == nullptr) {
        return nullptr;
    }
    return std::make_unique<TestHook>(settings);
}

TestHook::TestHook(const std::string& settings) {
    for (const QString& setting : QString::fromStdString(settings).split(';', Qt::SkipEmptyParts)) {
        const QString key = setting.section('=', 0, 0);
        const QString value = setting.section('=', 1);
        if (key == "report") {
            m_reportPath = value;
        } else if (key == "shots") {
            m_shotFolder = value;
        } else if (key == "cancel-at") {
            m_cancelAt = value.toULongLong();
        } else if (key == "pause-at") {
            m_pauseAt = value.toULongLong();
        }
    }
}

void TestHook::Report(const QString& event) {
    const std::lock_guard lock(m_mutex);
    if (m_reportPath.isEmpty()) {
        return;
    }
    QFile report(m_reportPath);
    if (report.open(QIODevice::WriteOnly | QIODevice::Append)) {
        report.write((event + '\n').toUtf8());
    }
}

void TestHook::Shoot(QWidget& widget, const QString& name) {
    if (!m_shotFolder.isEmpty()) {
        widget.grab().save(m_shotFolder + '/' + name + ".png");
    }
}

namespace {

// "WxH at X,Y on SWxSH": the window's outer size and place, and the size of its screen.
QString Placement(const QWidget& window) {
    const QRect frame = window.frameGeometry();
    const QScreen* screen = window.screen();
    const QSize screenSize = screen != nullptr ? screen->geometry().size() : QSize();
    return QString("%1x%2 at %3,%4 on %5x%6")
        .arg(frame.width())
        .arg(frame.height())
        .arg(frame.x())
        .arg(frame.y())
        .arg(screenSize.width())
        .arg(screenSize.height());
}

} // namespace

void TestHook::DialogShown(QDialog& dialog) {
    Report("dialog shown " + Placement(dialog));
    Shoot(dialog, "dialog");
}

void TestHook::WindowCreated(QWidget& window, bool bShown) {
    Report(QString("window %1 ").arg(bShown ? "shown" : "hidden") + Placement(window));
    if (bShown) {
        Shoot(window, "window");
    }
}

void TestHook::StepShown(kivCDlgProg& dialog, std::size_t step) {
    Report(QString("step %1").arg(step));
    if (QDialog* window = dialog.Window()) {
        Shoot(*window, "dialog");
        if (m_cancelAt == step) {
            if (auto* cancel = window->findChild<QAbstractButton*>("ButCancel")) {
                Report(QString("cancel %1").arg(step));
                cancel->click();
            }
        }
    }
}

void TestHook::AnswerMessageBox(QMessageBox& box) {
    QTimer::singleShot(0, &box, [this, &box] {
        Report("message " + box.windowTitle() + ": " + box.text());
        Shoot(box, "message");
        if (QAbstractButton* ok = box.button(QMessageBox::Ok)) {
            ok->click();
        }
    });
}

void TestHook::LoopEnded() {
    Report("loop ended");
    const std::lock_guard lock(m_mutex);
    m_bReleased = true;
    m_released.notify_all();
}

void TestHook::SignalReceived() {
    Report("signal");
    const std::lock_guard lock(m_mutex);
    m_bReleased = true;
    m_released.notify_all();
}

void TestHook::AfterStep(std::size_t step) {
    if (m_pauseAt != step) {
        return;
    }
    Report(QString("paused %1").arg(step));
    std::unique_lock lock(m_mutex);
    m_released.wait_for(lock, std::chrono::seconds(30), [this] { return m_bReleased; });
}

} // namespace setup::gui
