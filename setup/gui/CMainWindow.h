#pragma once

#include "setup/PackageFormat.h"
#include "setup/SetupLog.h"
#include "setup/StartBitmapFiles.h"
#include "setup/platform/SetupPlatform.h"

#include <QPointer>
#include <string>

class QWidget;

namespace setup::gui {

class StartBitmapWindow;
class TestHook;

// The start-bitmap window: a frameless window with a thin border, centred on the screen and
// as large as the start bitmap that the package names, shown while the package is extracted.
// It stays hidden when no bitmap loads. The destruction of its window, and the message
// WM_WIZARDWNDCLOSED, end the main thread's message loop.
class CMainWindow {
public:
    CMainWindow(SetupLog& log, SetupPlatform& platform, TestHook* hook);
    ~CMainWindow();
    CMainWindow(const CMainWindow&) = delete;
    CMainWindow& operator=(const CMainWindow&) = delete;

    // Picks the configuration and the bitmap out of the package, then makes the window.
    bool Create();
    bool ExtraStartBitmap();
    bool mwInitApplication();
    bool mwInitInstance();

    // Copies one file entry of the package to strOutputPath.
    bool ExtractFile(const PackageEntry& entry, const std::string& strPackagedFile,
                     const std::string& strOutputPath);
    // Deletes what ExtractFile created and forgets the bitmap.
    void ClearStartBitmap();

    // Hides and destroys the window.
    void Destroy();

    // The private message WM_WIZARDWNDCLOSED (0x133D), which the real setup program sends when
    // its wizard has closed; here it arrives as the signal SIGUSR1. Shows a notice, then ends
    // the message loop.
    void OnWizardWindowClosed();

    // The window while it exists, else nullptr.
    QWidget* Window() const;

private:
    SetupLog& m_log;
    TestHook* m_pHook;
    StartBitmapFiles m_files;
    QPointer<StartBitmapWindow> m_hWnd;
};

} // namespace setup::gui
