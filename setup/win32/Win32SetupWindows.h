#pragma once

#include "setup/SentMessageChannel.h"
#include "setup/SetupLog.h"
#include "setup/SetupWindows.h"
#include "setup/platform/SetupPlatform.h"
#include "setup/win32/Win32ProgressDialog.h"
#include "setup/win32/Win32StartBitmapWindow.h"

#include <atomic>
#include <cstddef>
#include <memory>
#include <windows.h>

namespace setup::win32 {

class Win32TestHook;

// setup's windows in Win32. The extractor thread's requests travel as thread messages to the
// main thread's loop and are waited for there, until the loop has ended (SentMessageChannel),
// so that a worker still reporting after an early end of the loop never hangs the run.
class Win32SetupWindows : public SetupWindows {
public:
    // `hook` may be null (it is, unless a test asks for it).
    Win32SetupWindows(SetupLog& log, SetupPlatform& platform, HINSTANCE instance,
                      Win32TestHook* hook);
    ~Win32SetupWindows() override;

    void showMessage(std::string_view text, std::string_view caption) override;
    bool createProgressDialog() override;
    bool createStartBitmapWindow() override;
    void moveDialogToCorner() override;
    void showDialog() override;
    void runMessageLoop() override;
    void destroyStartBitmapWindow() override;
    void destroyProgressDialog() override;

    void setRange(std::size_t count) override;
    void stepIt() override;
    bool isCancelRequested() override;
    void closeProgressDialog() override;

private:
    void dropQueuedCalls();

    SetupLog& log_;
    SetupPlatform& platform_;
    HINSTANCE instance_;
    Win32TestHook* hook_;
    DWORD mainThread_;
    std::unique_ptr<Win32ProgressDialog> dialog_;
    std::unique_ptr<Win32StartBitmapWindow> startBitmapWindow_;
    SentMessageChannel channel_;
    std::atomic<std::size_t> steps_ = 0;
};

} // namespace setup::win32
