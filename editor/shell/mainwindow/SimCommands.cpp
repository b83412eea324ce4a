#include "editor/shell/mainwindow/SimCommands.h"

#include "editor/form/FormModel.h"
#include "editor/shell/app/Prompts.h"
#include "editor/shell/dialogs/TFormPin.h"
#include "editor/shell/dialogs/TFormWrite.h"
#include "editor/shell/widgets/QtText.h"
#include "editor/sim/SimAccess.h"
#include "editor/sim/SimMessages.h"
#include "editor/sim/SimTransfer.h"

#include <QApplication>
#include <QEvent>
#include <QMainWindow>
#include <exception>

namespace tarvik {
namespace {

// The window disabled with the busy cursor for as long as it lives. A disabled window can
// still be asked to close by the desktop; it stays open until the transfer, which lets the
// window repaint in the middle, has returned.
class BusyWindow : public QObject {
public:
    explicit BusyWindow(QWidget& window) : window_(window) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        window_.setEnabled(false);
        window_.installEventFilter(this);
    }
    BusyWindow(const BusyWindow&) = delete;
    BusyWindow& operator=(const BusyWindow&) = delete;
    ~BusyWindow() override {
        window_.removeEventFilter(this);
        window_.setEnabled(true);
        QApplication::restoreOverrideCursor();
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == &window_ && event->type() == QEvent::Close) {
            event->ignore();
            return true;
        }
        return false;
    }

private:
    QWidget& window_;
};

} // namespace

PinAttempt DisableSimPin(const std::string& pin) {
    if (SimDisablePin(pin)) {
        return {true, 0};
    }
    return {false, SimPinRemaining()};
}

SimCommands::SimCommands(Parts parts)
    : parts_(parts), transferWindow_(parts.window, parts.prompts) {
    parts_.formPin.SetDisablePin(DisableSimPin);
}

template <typename Transfer>
bool SimCommands::RunBusy(Transfer&& transfer) {
    try {
        const BusyWindow busy(parts_.window);
        transfer();
        return true;
    } catch (const std::exception& error) {
        parts_.prompts.ShowError(QString::fromLocal8Bit(error.what()));
        return false;
    }
}

void SimCommands::ButReadClick() {
    if (!parts_.prompts.AskOkCancel(Translated(parts_.language, kConfirmCaption),
                                    Translated(parts_.language, kReadFromSim))) {
        return;
    }
    SimConnect();
    if (!CheckCardAccess()) {
        return;
    }
    ProgramText& program = parts_.form.document().program.text();
    if (RunBusy([&] { SimReadAll(transferWindow_, program); })) {
        parts_.form.MemoSimExit();
    }
}

void SimCommands::ButWriteClick() {
    if (parts_.prompts.Exec(parts_.formWrite) != QDialog::Accepted) {
        return;
    }
    SimConnect();
    if (!CheckCardAccess()) {
        return;
    }
    // A copy: nothing may change the text while it goes to the card.
    const std::vector<std::string> lines = parts_.form.document().program.text().lines();
    const bool deleteAll = parts_.formWrite.DeleteAll();
    RunBusy([&] { SimWriteAll(transferWindow_, lines, deleteAll); });
}

bool SimCommands::CheckCardAccess() {
    switch (QueryCardAccess()) {
    case CardAccess::Ready:
        return true;
    case CardAccess::NotFound:
        parts_.prompts.ShowError(Translated(parts_.language, kSimNotFound));
        return false;
    case CardAccess::Blocked:
        parts_.prompts.ShowError(Translated(parts_.language, kSimBlocked));
        return false;
    case CardAccess::NeedsPin:
        return parts_.prompts.Exec(parts_.formPin) == QDialog::Accepted;
    }
    return false;
}

void SimCommands::Disconnect() {
    SimDisconnect();
}

} // namespace tarvik
