#pragma once

#include "setup/PackageFormat.h"
#include "setup/SetupLog.h"
#include "setup/StartBitmapFiles.h"
#include "setup/platform/SetupPlatform.h"

#include <QPointer>
#include <string>

class QWidget;

namespace setup::gui {

class StartBitmapWidget;
class TestHook;

// The start-bitmap window: a frameless window with a thin border, centred on the screen and
// as large as the start bitmap that the package names, shown while the package is extracted.
// It stays hidden when no bitmap loads. The destruction of its window, and the message
// WM_WIZARDWNDCLOSED, end the main thread's message loop.
class QtStartBitmapWindow {
public:
    QtStartBitmapWindow(SetupLog& log, SetupPlatform& platform, TestHook* hook);
    ~QtStartBitmapWindow();
    QtStartBitmapWindow(const QtStartBitmapWindow&) = delete;
    QtStartBitmapWindow& operator=(const QtStartBitmapWindow&) = delete;

    // Picks the configuration and the bitmap out of the package, then makes the window.
    bool create();
    bool extraStartBitmap();
    bool mwInitApplication();
    bool mwInitInstance();

    // Copies one file entry of the package to outputPath.
    bool extractFile(const PackageEntry& entry, const std::string& packagedFile,
                     const std::string& outputPath);
    // Deletes what ExtractFile created and forgets the bitmap.
    void clearStartBitmap();

    // Hides and destroys the window.
    void destroy();

    // The private message WM_WIZARDWNDCLOSED (0x133D), which the real setup program sends when
    // its wizard has closed; here it arrives as the signal SIGUSR1. Shows a notice, then ends
    // the message loop.
    void onWizardWindowClosed();

    // The window while it exists, else nullptr.
    QWidget* window() const;

private:
    SetupLog& log_;
    TestHook* hook_;
    StartBitmapFiles files_;
    QPointer<StartBitmapWidget> window_;
};

} // namespace setup::gui
