#pragma once

#include "modem/SerialPort.h"

#include <memory>
#include <string>
#include <string_view>

namespace tarvik::modem {

// A COM port, 8N1 at the given speed, without flow control. Every read waits at most its
// timeout and returns a short pause after the first bytes came, as the AT session expects.
class Win32SerialPort final : public SerialPort {
public:
    // Opens the port `name` ("COM5", "com12", "\\.\COM12"); nothing, with the reason in
    // `error`, when that fails.
    static std::unique_ptr<Win32SerialPort> open(const std::string& name, std::string& error,
                                                 unsigned baud = 115200);

    // The device path CreateFileW takes for a port name: "COM12" is "\\.\COM12" (the bare
    // name reaches COM1 to COM9 only); a path already in the device namespace stays.
    static std::wstring devicePath(std::string_view name);

    bool write(std::string_view bytes) override;
    Status read(std::string& into, std::chrono::milliseconds timeout) override;
    std::string error() const override { return error_; }

private:
    // Closes a port's HANDLE (a void* here, so that no caller sees windows.h).
    struct HandleCloser {
        void operator()(void* handle) const;
    };
    using UniqueHandle = std::unique_ptr<void, HandleCloser>;

    Win32SerialPort(UniqueHandle handle, std::string name)
        : handle_(std::move(handle)), name_(std::move(name)) {}

    // Sets the read timeouts for a wait of `timeout`, unless they are set so already.
    bool setReadWait(std::chrono::milliseconds timeout);
    void fail(unsigned long code);

    UniqueHandle handle_;
    std::string name_;
    std::string error_;
    long long readWait_ = -1; // the wait the port's timeouts are set for, in ms; -1: none yet
};

} // namespace tarvik::modem
