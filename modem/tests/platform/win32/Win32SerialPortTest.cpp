// The Win32 serial port and port list without a modem: names, refusals, and the registry's
// list of ports read from a key of the test's own.
#include "modem/platform/win32/Win32SerialPort.h"

#include "modem/platform/win32/RegistryPorts.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <string>
#include <vector>
#include <windows.h>

namespace tarvik::modem {
namespace {

TEST(Win32SerialPortTest, NamesEveryPortInTheDeviceNamespace) {
    struct Case {
        std::string name;
        std::wstring path;
    };
    // Win32 file namespaces: "COM1" to "COM9" are reserved names, "COM10" and up open only
    // as \\.\COM10; a name already under \\.\ or \\?\ is a device path as it stands.
    const Case cases[] = {
        {"COM5", L"\\\\.\\COM5"},        {"com12", L"\\\\.\\com12"},
        {"COM3:", L"\\\\.\\COM3"},       {"\\\\.\\COM12", L"\\\\.\\COM12"},
        {"\\\\?\\COM7", L"\\\\?\\COM7"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Win32SerialPort::devicePath(c.name), c.path) << c.name;
    }
}

TEST(Win32SerialPortTest, SaysWhyANameIsNoPort) {
    struct Case {
        std::string name;
        std::string error;
    };
    const Case cases[] = {
        {"COM77", "COM77: no such port"},
        // The null device opens, but has no line to set.
        {"NUL", "NUL: not a serial port"},
    };
    for (const auto& c : cases) {
        std::string error;
        EXPECT_EQ(Win32SerialPort::open(c.name, error), nullptr) << c.name;
        EXPECT_TRUE(error.starts_with(c.error)) << error;
    }
}

// A key under HKEY_CURRENT_USER that the test makes with the values it is given and removes.
class TestKey {
public:
    explicit TestKey(std::wstring path) : path_(std::move(path)) {
        ::RegCreateKeyExW(HKEY_CURRENT_USER, path_.c_str(), 0, nullptr, REG_OPTION_VOLATILE,
                          KEY_ALL_ACCESS, nullptr, &key_, nullptr);
    }
    TestKey(const TestKey&) = delete;
    TestKey& operator=(const TestKey&) = delete;
    ~TestKey() {
        ::RegCloseKey(key_);
        ::RegDeleteKeyW(HKEY_CURRENT_USER, path_.c_str());
    }

    void set(const wchar_t* name, DWORD type, const void* data, DWORD bytes) {
        ASSERT_EQ(::RegSetValueExW(key_, name, 0, type, static_cast<const BYTE*>(data), bytes),
                  ERROR_SUCCESS);
    }
    void setText(const wchar_t* name, std::wstring_view text, bool terminated = true) {
        set(name, REG_SZ, text.data(),
            static_cast<DWORD>((text.size() + (terminated ? 1 : 0)) * sizeof(wchar_t)));
    }

    const std::wstring& path() const { return path_; }

private:
    std::wstring path_;
    HKEY key_ = nullptr;
};

TEST(Win32SerialPortTest, ListsThePortsARegistryKeyNames) {
    TestKey key(L"Software\\Tarvik Tests\\SERIALCOMM " + std::to_wstring(::GetCurrentProcessId()));
    const DWORD number = 5;
    key.setText(L"\\Device\\Serial0", L"COM1");
    key.setText(L"\\Device\\USBSER000", L"COM12", false); // stored without its terminator
    key.setText(L"\\Device\\Empty", L"");
    key.set(L"\\Device\\Number", REG_DWORD, &number, sizeof number);
    key.setText(L"\\Device\\VCP0", L"COM\u00DC"); // not ASCII: the name comes as UTF-8

    std::vector<std::string> ports = RegistryPorts(HKEY_CURRENT_USER, key.path());
    std::sort(ports.begin(), ports.end());
    EXPECT_EQ(ports, (std::vector<std::string>{"COM1", "COM12", "COM\xC3\x9C"}));
    EXPECT_TRUE(RegistryPorts(HKEY_CURRENT_USER, L"Software\\Tarvik Tests\\No Such Key").empty());
}

} // namespace
} // namespace tarvik::modem
