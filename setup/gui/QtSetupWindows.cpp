#include "setup/gui/QtSetupWindows.h"

#include "setup/gui/SetupMessageBox.h"
#include "setup/gui/TestHook.h"
#include "setup/gui/WizardSignal.h"

#include <QApplication>
#include <QDialog>
#include <QMetaObject>
#include <functional>
#include <utility>

namespace setup::gui {

namespace {

void PostToMainThread(std::function<void()> call) {
    QMetaObject::invokeMethod(qApp, std::move(call), Qt::QueuedConnection);
}

} // namespace

QtSetupWindows::QtSetupWindows(SetupLog& log, SetupPlatform& platform, WizardSignal& wizardSignal,
                               TestHook* hook)
    : log_(log), platform_(platform), wizardSignal_(wizardSignal), hook_(hook),
      channel_(PostToMainThread) {
    // Only the start-bitmap window receives the wizard's message; without it (in silent mode,
    // or once it is gone) the signal is dropped.
    wizardSignal_.setHandler([this] {
        if (hook_ != nullptr) {
            hook_->signalReceived();
        }
        if (startBitmapWindow_ && startBitmapWindow_->window() != nullptr) {
            startBitmapWindow_->onWizardWindowClosed();
        }
    });
}

QtSetupWindows::~QtSetupWindows() {
    wizardSignal_.setHandler(nullptr);
}

void QtSetupWindows::showMessage(std::string_view text, std::string_view caption) {
    ShowSetupMessageBox(
        nullptr, QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())),
        QString::fromUtf8(caption.data(), static_cast<qsizetype>(caption.size())), hook_);
}

bool QtSetupWindows::createProgressDialog() {
    dialog_ = std::make_unique<QtProgressDialog>(log_);
    return dialog_->create();
}

bool QtSetupWindows::createStartBitmapWindow() {
    startBitmapWindow_ = std::make_unique<QtStartBitmapWindow>(log_, platform_, hook_);
    return startBitmapWindow_->create();
}

void QtSetupWindows::moveDialogToCorner() {
    dialog_->moveWindowToCorner();
}

void QtSetupWindows::showDialog() {
    dialog_->show(true);
    if (hook_ != nullptr && dialog_->window() != nullptr) {
        hook_->dialogShown(*dialog_->window());
    }
}

void QtSetupWindows::runMessageLoop() {
    QApplication::exec();
    channel_.loopEnded();
    if (hook_ != nullptr) {
        hook_->loopEnded();
    }
}

void QtSetupWindows::destroyStartBitmapWindow() {
    if (startBitmapWindow_) {
        startBitmapWindow_->destroy();
        startBitmapWindow_->clearStartBitmap();
        startBitmapWindow_.reset();
    }
}

void QtSetupWindows::destroyProgressDialog() {
    dialog_.reset();
}

void QtSetupWindows::setRange(std::size_t count) {
    channel_.send([this, count] { dialog_->setRange(count); });
}

void QtSetupWindows::stepIt() {
    const std::size_t step = ++steps_;
    channel_.send([this, step] {
        dialog_->stepIt();
        if (hook_ != nullptr) {
            hook_->stepShown(*dialog_, step);
        }
    });
    if (hook_ != nullptr) {
        hook_->afterStep(step);
    }
}

bool QtSetupWindows::isCancelRequested() {
    return dialog_->isCancelRequested();
}

void QtSetupWindows::closeProgressDialog() {
    channel_.send([this] { dialog_->close(); });
}

} // namespace setup::gui
