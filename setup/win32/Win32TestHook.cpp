#include "setup/win32/Win32TestHook.h"

#include "setup/platform/Win32Text.h"
#include "setup/win32/Win32ProgressDialog.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

namespace setup::win32 {

namespace {

// "WxH at X,Y on SWxSH": the window's outer size and place, and the size of the screen.
std::string Placement(HWND window) {
    RECT frame{};
    ::GetWindowRect(window, &frame);
    char text[96];
    std::snprintf(text, sizeof text, "%ldx%ld at %ld,%ld on %dx%d", frame.right - frame.left,
                  frame.bottom - frame.top, frame.left, frame.top, ::GetSystemMetrics(SM_CXSCREEN),
                  ::GetSystemMetrics(SM_CYSCREEN));
    return text;
}

} // namespace

std::unique_ptr<Win32TestHook> Win32TestHook::FromEnvironment() {
    const wchar_t* settings = ::_wgetenv(L"SETUP_TEST_HOOK");
    if (settings == nullptr) {
        return nullptr;
    }
    return std::make_unique<Win32TestHook>(ParseTestHookSettings(Utf8FromWide(settings)));
}

Win32TestHook::Win32TestHook(TestHookSettings settings) : settings_(std::move(settings)) {}

void Win32TestHook::report(const std::string& event) {
    const std::lock_guard lock(mutex_);
    if (settings_.reportPath.empty()) {
        return;
    }
    FILE* file = ::_wfopen(WideFromUtf8(settings_.reportPath).c_str(), L"ab");
    if (file != nullptr) {
        std::fputs((event + '\n').c_str(), file);
        std::fclose(file);
    }
}

void Win32TestHook::dialogShown(HWND dialog) {
    report("dialog shown " + Placement(dialog));
}

void Win32TestHook::windowCreated(HWND window, bool shown) {
    report(std::string("window ") + (shown ? "shown " : "hidden ") + Placement(window));
}

void Win32TestHook::stepShown(Win32ProgressDialog& dialog, std::size_t step) {
    report("step " + std::to_string(step));
    if (settings_.cancelAt == step && dialog.window() != nullptr) {
        report("cancel " + std::to_string(step));
        dialog.clickCancel();
    }
}

void Win32TestHook::messageAnswered(std::string_view caption, std::string_view text) {
    report("message " + std::string(caption) + ": " + std::string(text));
}

void Win32TestHook::loopEnded() {
    report("loop ended");
    released_ = true;
}

void Win32TestHook::afterStep(std::size_t step) {
    if (settings_.pauseAt != step) {
        return;
    }
    report("paused " + std::to_string(step));
    const std::wstring releasePath = WideFromUtf8(settings_.releasePath);
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (!released_ && std::chrono::steady_clock::now() < until) {
        if (!releasePath.empty() &&
            ::GetFileAttributesW(releasePath.c_str()) != INVALID_FILE_ATTRIBUTES) {
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
}

} // namespace setup::win32
