#include "setup/win32/Win32ProgressDialog.h"

#include "setup/CornerPlacement.h"
#include "setup/win32/resource.h"

#include <algorithm>
#include <commctrl.h>

namespace setup::win32 {

namespace {

// The message font of the system, as message boxes show their text.
HFONT CreateMessageFont() {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    if (!::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) {
        return nullptr;
    }
    return ::CreateFontIndirectW(&metrics.lfMessageFont);
}

BOOL CALLBACK SetChildFont(HWND child, LPARAM font) {
    ::SendMessageW(child, WM_SETFONT, static_cast<WPARAM>(font), TRUE);
    return TRUE;
}

} // namespace

Win32ProgressDialog::Win32ProgressDialog(SetupLog& log, HINSTANCE instance)
    : log_(log), instance_(instance) {}

Win32ProgressDialog::~Win32ProgressDialog() {
    if (window_ != nullptr) {
        ::DestroyWindow(window_);
    }
    if (font_ != nullptr) {
        ::DeleteObject(font_);
    }
}

bool Win32ProgressDialog::create() {
    if (font_ == nullptr) {
        font_ = CreateMessageFont();
    }
    const HWND window = ::CreateDialogParamW(instance_, MAKEINTRESOURCEW(IDD_PROGRESS), nullptr,
                                             DialogProcedure, reinterpret_cast<LPARAM>(this));
    if (window == nullptr) {
        return false;
    }
    log_.log("Finish kivCDlgProg::Create().");
    return true;
}

void Win32ProgressDialog::moveToCorner() {
    if (window_ == nullptr) {
        return;
    }
    RECT frame{};
    RECT work{};
    ::GetWindowRect(window_, &frame);
    const ScreenRect screen{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
    ScreenRect workArea = screen;
    if (::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0)) {
        workArea = {work.left, work.top, work.right - work.left, work.bottom - work.top};
    }
    const ScreenPoint corner =
        CornerPosition(screen, workArea, frame.right - frame.left, frame.bottom - frame.top);
    ::SetWindowPos(window_, HWND_TOP, corner.x, corner.y, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
}

void Win32ProgressDialog::show(bool visible) {
    if (window_ != nullptr) {
        ::ShowWindow(window_, visible ? SW_SHOW : SW_HIDE);
    }
}

void Win32ProgressDialog::setRange(std::size_t count) {
    if (window_ != nullptr) {
        const auto top = static_cast<WORD>(std::min<std::size_t>(count, 65535));
        ::SendDlgItemMessageW(window_, IDC_PROGRESS_BAR, PBM_SETRANGE, 0, MAKELPARAM(0, top));
        ::SendDlgItemMessageW(window_, IDC_PROGRESS_BAR, PBM_SETSTEP, 1, 0);
    }
}

void Win32ProgressDialog::stepIt() {
    if (window_ != nullptr) {
        ::SendDlgItemMessageW(window_, IDC_PROGRESS_BAR, PBM_STEPIT, 0, 0);
    }
}

void Win32ProgressDialog::close() {
    if (window_ != nullptr) {
        ::SendMessageW(window_, WM_CLOSE, 0, 0);
    }
}

void Win32ProgressDialog::clickCancel() {
    if (window_ != nullptr) {
        ::SendMessageW(window_, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                       reinterpret_cast<LPARAM>(::GetDlgItem(window_, IDCANCEL)));
    }
}

INT_PTR CALLBACK Win32ProgressDialog::DialogProcedure(HWND window, UINT message, WPARAM wParam,
                                                      LPARAM lParam) {
    auto* self = reinterpret_cast<Win32ProgressDialog*>(::GetWindowLongPtrW(window, DWLP_USER));
    switch (message) {
    case WM_INITDIALOG: {
        self = reinterpret_cast<Win32ProgressDialog*>(lParam);
        ::SetWindowLongPtrW(window, DWLP_USER, lParam);
        self->window_ = window;
        const HICON icon = ::LoadIconW(self->instance_, MAKEINTRESOURCEW(IDI_SETUP));
        ::SendMessageW(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
        ::SendMessageW(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
        if (self->font_ != nullptr) {
            ::EnumChildWindows(window, SetChildFont, reinterpret_cast<LPARAM>(self->font_));
        }
        return TRUE;
    }
    case WM_COMMAND:
        if (LOWORD(wParam) == IDCANCEL && self != nullptr) {
            // The dialog stays; the extractor stops after the entry it is copying.
            self->cancelRequested_ = true;
            return TRUE;
        }
        return FALSE;
    case WM_CLOSE:
        ::DestroyWindow(window);
        return TRUE;
    case WM_DESTROY:
        if (self != nullptr) {
            self->window_ = nullptr;
        }
        ::PostQuitMessage(0);
        return TRUE;
    default:
        return FALSE;
    }
}

} // namespace setup::win32
