#pragma once

#include "setup/SetupLog.h"

#include <atomic>
#include <cstddef>
#include <windows.h>

namespace setup::win32 {

// The progress dialog in Win32: a modeless dialog from the template IDD_PROGRESS with
// "Extracting files...", the common controls' progress bar and Cancel, in the bottom-right
// corner of the work area. Cancel (and Esc) only sets cancel requested; the close request
// destroys the window, and its destruction posts the quit message that ends the loop.
// Everything but isCancelRequested runs on the main thread.
class Win32ProgressDialog {
public:
    Win32ProgressDialog(SetupLog& log, HINSTANCE instance);
    ~Win32ProgressDialog();
    Win32ProgressDialog(const Win32ProgressDialog&) = delete;
    Win32ProgressDialog& operator=(const Win32ProgressDialog&) = delete;

    // Creates the dialog, hidden, in the message font of the system.
    bool create();
    void moveToCorner();
    void show(bool visible);
    // The bar's range becomes 0..count (at most 65535), its step 1.
    void setRange(std::size_t count);
    void stepIt();
    // The close request, as the extractor sends it.
    void close();
    // Clicks Cancel, as the user would.
    void clickCancel();

    bool isCancelRequested() const { return cancelRequested_; }
    // The dialog while it exists, else nullptr.
    HWND window() const { return window_; }

private:
    static INT_PTR CALLBACK DialogProcedure(HWND window, UINT message, WPARAM wParam,
                                            LPARAM lParam);

    SetupLog& log_;
    HINSTANCE instance_;
    std::atomic<bool> cancelRequested_ = false;
    HWND window_ = nullptr;
    HFONT font_ = nullptr;
};

} // namespace setup::win32
