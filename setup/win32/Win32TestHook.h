#pragma once

#include "setup/TestHookSettings.h"

#include <atomic>
#include <cstddef>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <windows.h>

namespace setup::win32 {

class Win32ProgressDialog;

// What the tests of setup.exe can ask of a real run through SETUP_TEST_HOOK (see
// TestHookSettings): a report of its events, a click on Cancel at a step, a pause after a step
// so that a picture of the screen can be taken. Message boxes are reported and answered with
// OK without being shown. Without the variable there is no hook.
class Win32TestHook {
public:
    static std::unique_ptr<Win32TestHook> FromEnvironment();
    explicit Win32TestHook(TestHookSettings settings);

    // Main thread.
    void dialogShown(HWND dialog);
    void windowCreated(HWND window, bool shown);
    void stepShown(Win32ProgressDialog& dialog, std::size_t step);
    void messageAnswered(std::string_view caption, std::string_view text);
    void loopEnded();

    // Extractor thread, after step `step` was sent.
    void afterStep(std::size_t step);

private:
    void report(const std::string& event);

    TestHookSettings settings_;
    std::mutex mutex_;
    std::atomic<bool> released_ = false;
};

} // namespace setup::win32
