#include "setup/win32/Win32StartBitmapWindow.h"

#include "setup/CornerPlacement.h"
#include "setup/platform/Win32Text.h"

namespace setup::win32 {

namespace {

constexpr const wchar_t* kClassName = L"kivSetupMainWindowClass";

} // namespace

Win32StartBitmapWindow::Win32StartBitmapWindow(SetupLog& log, SetupPlatform& platform,
                                               HINSTANCE instance)
    : log_(log), instance_(instance), files_(log, platform) {}

Win32StartBitmapWindow::~Win32StartBitmapWindow() {
    destroy();
}

bool Win32StartBitmapWindow::create() {
    log_.log("Do CMainWindow::ExtraStartBitmap().");
    if (!files_.extraStartBitmap()) {
        return false;
    }
    log_.log("Do CMainWindow::mwInitApplication().");
    if (!registerWindowClass()) {
        return false;
    }
    log_.log("Do CMainWindow::mwInitInstance().");
    if (!createWindow()) {
        return false;
    }
    log_.log(" Finish CMainWindow::Create().");
    return true;
}

bool Win32StartBitmapWindow::registerWindowClass() {
    log_.log("Finish CMainWindow::mwInitApplication().");
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = WindowProcedure;
    windowClass.hInstance = instance_;
    windowClass.hIcon = ::LoadIconW(nullptr, IDI_APPLICATION);
    windowClass.hIconSm = windowClass.hIcon;
    windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = ::CreateSolidBrush(RGB(255, 255, 0));
    windowClass.lpszClassName = kClassName;
    // A second run in the same process finds the class there already.
    return ::RegisterClassExW(&windowClass) != 0 || ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

bool Win32StartBitmapWindow::createWindow() {
    const std::string& path = files_.bitmapPath();
    if (!path.empty()) {
        bitmap_ = static_cast<HBITMAP>(
            ::LoadImageW(nullptr, WideFromUtf8(path).c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE));
    }
    BITMAP info{};
    if (bitmap_ != nullptr) {
        ::GetObjectW(bitmap_, sizeof info, &info);
    }
    const ScreenRect screen{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
    const ScreenPoint centre = CentredPosition(screen, info.bmWidth, info.bmHeight);
    window_ = ::CreateWindowExW(0, kClassName, L"", WS_POPUPWINDOW, centre.x, centre.y,
                                info.bmWidth, info.bmHeight, nullptr, nullptr, instance_, this);
    if (window_ == nullptr) {
        return false;
    }
    shown_ = bitmap_ != nullptr;
    if (shown_) {
        log_.log("ShowWindow(m_hWnd, SW_NORMAL);");
        ::ShowWindow(window_, SW_SHOWNORMAL);
    } else {
        log_.log("ShowWindow(m_hWnd, SW_HIDE);");
        ::ShowWindow(window_, SW_HIDE);
    }
    // A tool window has no taskbar button.
    ::SetWindowLongW(window_, GWL_EXSTYLE,
                     ::GetWindowLongW(window_, GWL_EXSTYLE) | WS_EX_TOOLWINDOW);
    ::UpdateWindow(window_);
    log_.log(" Finish CMainWindow::mwInitInstance().");
    return true;
}

void Win32StartBitmapWindow::destroy() {
    if (window_ != nullptr) {
        ::ShowWindow(window_, SW_HIDE);
        ::DestroyWindow(window_);
        window_ = nullptr;
    }
    if (bitmap_ != nullptr) {
        ::DeleteObject(bitmap_);
        bitmap_ = nullptr;
    }
    files_.clearStartBitmap();
}

LRESULT CALLBACK Win32StartBitmapWindow::WindowProcedure(HWND window, UINT message, WPARAM wParam,
                                                         LPARAM lParam) {
    auto* self =
        reinterpret_cast<Win32StartBitmapWindow*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    switch (message) {
    case WM_NCCREATE: {
        const auto* creation = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        ::SetWindowLongPtrW(window, GWLP_USERDATA,
                            reinterpret_cast<LONG_PTR>(creation->lpCreateParams));
        break;
    }
    case WM_PAINT: {
        PAINTSTRUCT paint{};
        const HDC target = ::BeginPaint(window, &paint);
        if (self != nullptr && self->bitmap_ != nullptr) {
            RECT client{};
            ::GetClientRect(window, &client);
            const HDC source = ::CreateCompatibleDC(target);
            const HGDIOBJ old = ::SelectObject(source, self->bitmap_);
            ::BitBlt(target, 0, 0, client.right, client.bottom, source, 0, 0, SRCCOPY);
            ::SelectObject(source, old);
            ::DeleteDC(source);
        }
        ::EndPaint(window, &paint);
        return 0;
    }
    case WM_DESTROY:
        if (self != nullptr) {
            self->window_ = nullptr;
        }
        ::PostQuitMessage(0);
        return 0;
    case kWizardWindowClosed:
        ::MessageBoxW(window, L"WizardWindow post WM_WIZARDWNDCLOSED message.", L"Info", MB_OK);
        ::PostQuitMessage(0);
        break;
    default:
        break;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

} // namespace setup::win32
