#pragma once

#include "base/UniqueFd.h"
#include "modem/SerialPort.h"

#include <memory>
#include <string>

namespace tarvik::modem {

// A serial port (or the slave side of a pseudo-terminal) in raw mode, 8N1, at the given
// speed, read with poll() so that every wait has its timeout.
class PosixSerialPort final : public SerialPort {
public:
    // Opens `path`; nothing, with the system's reason in `error`, when that fails.
    static std::unique_ptr<PosixSerialPort> open(const std::string& path, std::string& error,
                                                 unsigned baud = 115200);

    bool write(std::string_view bytes) override;
    Status read(std::string& into, std::chrono::milliseconds timeout) override;
    std::string error() const override { return error_; }

private:
    PosixSerialPort(UniqueFd fd, std::string path) : fd_(std::move(fd)), path_(std::move(path)) {}

    void fail(const char* what);

    UniqueFd fd_;
    std::string path_;
    std::string error_;
};

} // namespace tarvik::modem
