#include "editor/shell/mainwindow/QtTransferWindow.h"

#include "editor/shell/app/Prompts.h"
#include "editor/shell/mainwindow/StatusNote.h"

#include <QCoreApplication>
#include <QMainWindow>
#include <QProgressBar>
#include <QStatusBar>

namespace tarvik {

QtTransferWindow::QtTransferWindow(QMainWindow& window, Prompts& prompts)
    : window_(window), prompts_(prompts), progressBar_(new QProgressBar(&window)) {
    progressBar_->setObjectName(QStringLiteral("SimProgress"));
    progressBar_->setFormat(QStringLiteral("%v / %m"));
    progressBar_->setMaximumWidth(220);
    progressBar_->hide();
    window.statusBar()->addPermanentWidget(progressBar_);
}

std::string QtTransferWindow::caption() const {
    return window_.windowTitle().toStdString();
}

void QtTransferWindow::setCaption(std::string_view text) {
    window_.setWindowTitle(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
}

void QtTransferWindow::processPendingEvents() {
    QCoreApplication::processEvents();
}

void QtTransferWindow::beep() {
    prompts_.Beep();
}

void QtTransferWindow::pause(std::chrono::milliseconds duration) {
    prompts_.Pause(duration);
    if (!detail_.isEmpty()) {
        StatusNote::Of(window_).showText(window_.windowTitle() + QStringLiteral(": ") + detail_);
        detail_.clear();
    }
}

void QtTransferWindow::failureDetail(std::string_view text) {
    detail_ = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

void QtTransferWindow::progress(int record, int count) {
    if (count <= 0) {
        progressBar_->hide();
        return;
    }
    if (record == 1) {
        StatusNote::Of(window_).showText({}); // the reason of an earlier failure
    }
    progressBar_->setRange(0, count);
    progressBar_->setValue(record);
    progressBar_->show();
}

} // namespace tarvik
