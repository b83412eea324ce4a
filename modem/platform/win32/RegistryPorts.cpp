#include "modem/platform/win32/RegistryPorts.h"

#include "base/Utf8.h"
#include "modem/ModemScan.h"

#include <memory>
#include <type_traits>

namespace tarvik::modem {
namespace {

struct KeyCloser {
    void operator()(HKEY key) const { ::RegCloseKey(key); }
};
using UniqueKey = std::unique_ptr<std::remove_pointer_t<HKEY>, KeyCloser>;

} // namespace

std::vector<std::string> RegistryPorts(HKEY root, std::wstring_view subkey) {
    std::vector<std::string> ports;
    HKEY opened = nullptr;
    const std::wstring name(subkey);
    if (::RegOpenKeyExW(root, name.c_str(), 0, KEY_QUERY_VALUE, &opened) != ERROR_SUCCESS) {
        return ports;
    }
    const UniqueKey key(opened);
    DWORD values = 0;
    DWORD longestName = 0;
    DWORD longestData = 0;
    if (::RegQueryInfoKeyW(opened, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values,
                           &longestName, &longestData, nullptr, nullptr) != ERROR_SUCCESS) {
        return ports;
    }
    std::wstring valueName(longestName + 1, L'\0');
    // Whole UTF-16 units, and one more for a terminator the data may lack.
    std::wstring data(longestData / sizeof(wchar_t) + 2, L'\0');
    for (DWORD index = 0; index < values; ++index) {
        auto nameLength = static_cast<DWORD>(valueName.size());
        auto dataBytes = static_cast<DWORD>((data.size() - 1) * sizeof(wchar_t));
        DWORD type = 0;
        if (::RegEnumValueW(opened, index, valueName.data(), &nameLength, nullptr, &type,
                            reinterpret_cast<BYTE*>(data.data()), &dataBytes) != ERROR_SUCCESS ||
            type != REG_SZ) {
            continue;
        }
        std::u16string_view port(reinterpret_cast<const char16_t*>(data.data()),
                                 dataBytes / sizeof(wchar_t));
        // The data may or may not end with its terminator.
        if (const auto end = port.find(u'\0'); end != port.npos) {
            port = port.substr(0, end);
        }
        if (!port.empty()) {
            ports.push_back(Utf16ToUtf8(port));
        }
    }
    return ports;
}

std::string_view SystemSerialPortPlaces() {
    return "the COM ports Windows lists";
}

std::vector<std::string> SystemSerialPorts() {
    return RegistryPorts(HKEY_LOCAL_MACHINE, L"HARDWARE\\DEVICEMAP\\SERIALCOMM");
}

} // namespace tarvik::modem
