#include "modem/platform/win32/Win32ErrorText.h"

#include "base/Utf8.h"

#include <memory>
#include <windows.h>

namespace tarvik::modem {
namespace {

struct LocalFree {
    void operator()(wchar_t* memory) const { ::LocalFree(memory); }
};

} // namespace

std::string Win32ErrorText(unsigned long code) {
    wchar_t* text = nullptr;
    const DWORD length = ::FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    const std::unique_ptr<wchar_t, LocalFree> owner(text);
    std::u16string_view message(reinterpret_cast<const char16_t*>(text), text ? length : 0);
    while (!message.empty() && (message.back() == u'\n' || message.back() == u'\r' ||
                                message.back() == u' ' || message.back() == u'.')) {
        message.remove_suffix(1);
    }
    if (message.empty()) {
        return "system error " + std::to_string(code);
    }
    return Utf16ToUtf8(message);
}

} // namespace tarvik::modem
