#include "setup/gui/TestHook.h"

#include "setup/gui/QtProgressDialog.h"

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

std::unique_ptr<TestHook> TestHook::fromEnvironment() {
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
            reportPath_ = value;
        } else if (key == "shots") {
            shotFolder_ = value;
        } else if (key == "cancel-at") {
            cancelAt_ = value.toULongLong();
        } else if (key == "pause-at") {
            pauseAt_ = value.toULongLong();
        }
    }
}

void TestHook::report(const QString& event) {
    const std::lock_guard lock(mutex_);
    if (reportPath_.isEmpty()) {
        return;
    }
    QFile report(reportPath_);
    if (report.open(QIODevice::WriteOnly | QIODevice::Append)) {
        report.write((event + '\n').toUtf8());
    }
}

void TestHook::shoot(QWidget& widget, const QString& name) {
    if (!shotFolder_.isEmpty()) {
        widget.grab().save(shotFolder_ + '/' + name + ".png");
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

void TestHook::dialogShown(QDialog& dialog) {
    report("dialog shown " + Placement(dialog));
    shoot(dialog, "dialog");
}

void TestHook::windowCreated(QWidget& window, bool shown) {
    report(QString("window %1 ").arg(shown ? "shown" : "hidden") + Placement(window));
    if (shown) {
        shoot(window, "window");
    }
}

void TestHook::stepShown(QtProgressDialog& dialog, std::size_t step) {
    report(QString("step %1").arg(step));
    if (QDialog* window = dialog.window()) {
        shoot(*window, "dialog");
        if (cancelAt_ == step) {
            if (auto* cancel = window->findChild<QAbstractButton*>("ButCancel")) {
                report(QString("cancel %1").arg(step));
                cancel->click();
            }
        }
    }
}

void TestHook::answerMessageBox(QMessageBox& box) {
    QTimer::singleShot(0, &box, [this, &box] {
        report("message " + box.windowTitle() + ": " + box.text());
        shoot(box, "message");
        if (QAbstractButton* ok = box.button(QMessageBox::Ok)) {
            ok->click();
        }
    });
}

void TestHook::loopEnded() {
    report("loop ended");
    const std::lock_guard lock(mutex_);
    released_ = true;
    releaseChanged_.notify_all();
}

void TestHook::signalReceived() {
    report("signal");
    const std::lock_guard lock(mutex_);
    released_ = true;
    releaseChanged_.notify_all();
}

void TestHook::afterStep(std::size_t step) {
    if (pauseAt_ != step) {
        return;
    }
    report(QString("paused %1").arg(step));
    std::unique_lock lock(mutex_);
    releaseChanged_.wait_for(lock, std::chrono::seconds(30), [this] { return released_; });
}

} // namespace setup::gui
