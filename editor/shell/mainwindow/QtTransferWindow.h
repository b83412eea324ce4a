#pragma once

#include "editor/sim/TransferWindow.h"

#include <QString>

class QMainWindow;
class QProgressBar;

namespace tarvik {

class Prompts;

// The main window as a card transfer sees it: its caption (kept as UTF-8 between getting
// and putting it back, so that any file name survives), repaints in the middle of the
// transfer, the beep and the pause of the prompts, and a progress bar in the status bar
// that follows the caption's count and hides when the transfer ends. Why a transfer failed
// appears in the status bar once its error caption has been shown, and stays there until
// the next transfer starts.
class QtTransferWindow : public TransferWindow {
public:
    QtTransferWindow(QMainWindow& window, Prompts& prompts);

    std::string caption() const override;
    void setCaption(std::string_view text) override;
    void processPendingEvents() override;
    void beep() override;
    void pause(std::chrono::milliseconds duration) override;
    void progress(int record, int count) override;
    void failureDetail(std::string_view text) override;

    QProgressBar& progressBar() const { return *progressBar_; }

private:
    QMainWindow& window_;
    Prompts& prompts_;
    QProgressBar* progressBar_;
    QString detail_; // the reason of the error being shown
};

} // namespace tarvik
