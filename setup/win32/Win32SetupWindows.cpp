#include "setup/win32/Win32SetupWindows.h"

#include "setup/platform/Win32Text.h"
#include "setup/win32/Win32TestHook.h"

#include <functional>
#include <utility>

namespace setup::win32 {

namespace {

// A thread message whose lParam owns a call for the main thread.
constexpr UINT kRunCall = WM_APP + 1;

using Call = std::function<void()>;

} // namespace

Win32SetupWindows::Win32SetupWindows(SetupLog& log, SetupPlatform& platform, HINSTANCE instance,
                                     Win32TestHook* hook)
    : log_(log), platform_(platform), instance_(instance), hook_(hook),
      mainThread_(::GetCurrentThreadId()), channel_([thread = mainThread_](Call call) {
          auto owned = std::make_unique<Call>(std::move(call));
          if (::PostThreadMessageW(thread, kRunCall, 0, reinterpret_cast<LPARAM>(owned.get()))) {
              owned.release();
          }
      }) {
    // Thread messages need the main thread's queue, which exists once it asks for a message.
    MSG message{};
    ::PeekMessageW(&message, nullptr, WM_USER, WM_USER, PM_NOREMOVE);
}

Win32SetupWindows::~Win32SetupWindows() {
    dropQueuedCalls();
}

void Win32SetupWindows::showMessage(std::string_view text, std::string_view caption) {
    if (hook_ != nullptr) {
        hook_->messageAnswered(caption, text);
        return;
    }
    ::MessageBoxW(nullptr, WideFromUtf8(text).c_str(), WideFromUtf8(caption).c_str(), MB_OK);
}

bool Win32SetupWindows::createProgressDialog() {
    dialog_ = std::make_unique<Win32ProgressDialog>(log_, instance_);
    return dialog_->create();
}

bool Win32SetupWindows::createStartBitmapWindow() {
    startBitmapWindow_ = std::make_unique<Win32StartBitmapWindow>(log_, platform_, instance_);
    if (!startBitmapWindow_->create()) {
        return false;
    }
    if (hook_ != nullptr && startBitmapWindow_->window() != nullptr) {
        hook_->windowCreated(startBitmapWindow_->window(), startBitmapWindow_->isShown());
    }
    return true;
}

void Win32SetupWindows::moveDialogToCorner() {
    dialog_->moveToCorner();
}

void Win32SetupWindows::showDialog() {
    dialog_->show(true);
    if (hook_ != nullptr && dialog_->window() != nullptr) {
        hook_->dialogShown(dialog_->window());
    }
}

void Win32SetupWindows::runMessageLoop() {
    MSG message{};
    while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (message.hwnd == nullptr && message.message == kRunCall) {
            const std::unique_ptr<Call> call(reinterpret_cast<Call*>(message.lParam));
            (*call)();
            continue;
        }
        const HWND dialog = dialog_ ? dialog_->window() : nullptr;
        if (dialog != nullptr && ::IsWindow(dialog) && ::IsDialogMessageW(dialog, &message)) {
            continue;
        }
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
    channel_.loopEnded();
    dropQueuedCalls();
    if (hook_ != nullptr) {
        hook_->loopEnded();
    }
}

void Win32SetupWindows::dropQueuedCalls() {
    MSG message{};
    while (::PeekMessageW(&message, nullptr, kRunCall, kRunCall, PM_REMOVE)) {
        delete reinterpret_cast<Call*>(message.lParam);
    }
}

void Win32SetupWindows::destroyStartBitmapWindow() {
    if (startBitmapWindow_) {
        startBitmapWindow_->destroy();
        startBitmapWindow_.reset();
    }
}

void Win32SetupWindows::destroyProgressDialog() {
    dialog_.reset();
}

void Win32SetupWindows::setRange(std::size_t count) {
    channel_.send([this, count] { dialog_->setRange(count); });
}

void Win32SetupWindows::stepIt() {
    const std::size_t step = ++steps_;
    channel_.send([this, step] {
        dialog_->stepIt();
        if (hook_ != nullptr) {
            hook_->stepShown(*dialog_, step);
        }
    });
    if (hook_ != nullptr) {
        hook_->afterStep(step);
    }
}

bool Win32SetupWindows::isCancelRequested() {
    return dialog_->isCancelRequested();
}

void Win32SetupWindows::closeProgressDialog() {
    channel_.send([this] { dialog_->close(); });
}

} // namespace setup::win32
