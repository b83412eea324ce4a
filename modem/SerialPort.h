#pragma once

#include <chrono>
#include <memory>
#include <string>
#include <string_view>

namespace tarvik::modem {

// A byte stream to a modem: a serial port, a pseudo-terminal, or a fake in tests.
class SerialPort {
public:
    enum class Status { Data, Timeout, Failed };

    virtual ~SerialPort() = default;

    // Writes every byte; false when the port failed (error() says why).
    virtual bool write(std::string_view bytes) = 0;

    // Appends what arrives within `timeout` to `into`: Data as soon as anything came,
    // Timeout when nothing did, Failed when the port failed or hung up.
    virtual Status read(std::string& into, std::chrono::milliseconds timeout) = 0;

    // The reason of the last failure, for the user.
    virtual std::string error() const = 0;
};

// Opens one of the machine's serial ports, 8N1 at 115200 baud: a device path on Linux
// ("/dev/ttyUSB0"), a COM port on Windows ("COM5"). Nothing, with the reason in `error`, when
// it cannot be opened.
std::unique_ptr<SerialPort> OpenSerialPort(const std::string& path, std::string& error);

} // namespace tarvik::modem
