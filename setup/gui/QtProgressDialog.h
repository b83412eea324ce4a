#pragma once

#include "setup/SetupLog.h"
#include "setup/gui/DialogFont.h"

#include <QPointer>
#include <atomic>
#include <cstddef>
#include <memory>

class QDialog;

namespace setup::gui {

class ProgressDialogWindow;

// The progress dialog: "Extracting files...", a progress bar and Cancel, modeless, in the
// bottom-right corner of the screen while the package is extracted. Cancel only sets cancel
// requested; the dialog closes when the extractor thread asks it to, and the destruction of
// its window ends the main thread's message loop.
//
// The object outlives its window: the run keeps it (and its cancel flag, which the extractor
// thread reads) from start to end, while the window exists from Create to the close request.
class QtProgressDialog {
public:
    explicit QtProgressDialog(SetupLog& log);
    ~QtProgressDialog();
    QtProgressDialog(const QtProgressDialog&) = delete;
    QtProgressDialog& operator=(const QtProgressDialog&) = delete;

    // Makes the font on first use and creates the dialog window, hidden.
    bool create();
    // Moves the dialog, keeping its size, to the bottom-right corner of the work area, above
    // every other window.
    void moveWindowToCorner();
    void show(bool show);
    // The bar's range becomes 0..count (at most 65535, which the bar holds), its step 1.
    void setRange(std::size_t count);
    // Advances the bar by one step, never past its end.
    void stepIt();
    // The close request: destroys the window.
    void close();

    // Set by Cancel and by the Esc key; read from any thread.
    bool isCancelRequested() const { return cancelRequested_; }
    void requestCancel() { cancelRequested_ = true; }

    // The dialog window while it exists, else nullptr.
    QDialog* window() const;

private:
    SetupLog& log_;
    std::atomic<bool> cancelRequested_ = false;
    QPointer<ProgressDialogWindow> window_;
    std::unique_ptr<DialogFont> font_;
};

} // namespace setup::gui
