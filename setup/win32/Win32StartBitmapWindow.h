#pragma once

#include "setup/SetupLog.h"
#include "setup/StartBitmapFiles.h"
#include "setup/platform/SetupPlatform.h"

#include <windows.h>

namespace setup::win32 {

// The private message that the real setup program sends when its wizard has closed.
constexpr UINT kWizardWindowClosed = 0x133D;

// The start-bitmap window in Win32: a popup of the class "kivSetupMainWindowClass" with a thin
// border and no title, centred on the screen and as large as the start bitmap the package
// names, painting that bitmap on a yellow background. Hidden when no bitmap loads. Its
// destruction, and the wizard's message, end the main thread's message loop.
class Win32StartBitmapWindow {
public:
    Win32StartBitmapWindow(SetupLog& log, SetupPlatform& platform, HINSTANCE instance);
    ~Win32StartBitmapWindow();
    Win32StartBitmapWindow(const Win32StartBitmapWindow&) = delete;
    Win32StartBitmapWindow& operator=(const Win32StartBitmapWindow&) = delete;

    // Picks the configuration and the bitmap out of the package, then makes the window.
    bool create();
    // Destroys the window and deletes what create() extracted.
    void destroy();

    HWND window() const { return window_; }
    bool isShown() const { return shown_; }

private:
    bool registerWindowClass();
    bool createWindow();
    static LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam,
                                            LPARAM lParam);

    SetupLog& log_;
    HINSTANCE instance_;
    StartBitmapFiles files_;
    HWND window_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    bool shown_ = false;
};

} // namespace setup::win32
