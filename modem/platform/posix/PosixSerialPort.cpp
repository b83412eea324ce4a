#include "modem/platform/posix/PosixSerialPort.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace tarvik::modem {
namespace {

speed_t SpeedOf(unsigned baud) {
    switch (baud) {
    case 9600:
        return B9600;
    case 19200:
        return B19200;
    case 38400:
        return B38400;
    case 57600:
        return B57600;
    case 230400:
        return B230400;
    case 460800:
        return B460800;
    case 921600:
        return B921600;
    default:
        return B115200;
    }
}

} // namespace

std::unique_ptr<PosixSerialPort> PosixSerialPort::open(const std::string& path, std::string& error,
                                                       unsigned baud) {
    // Non-blocking, so that a port waiting for carrier does not hold the open; no
    // controlling terminal, so that a modem hanging up sends no signal.
    UniqueFd fd(::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
    if (!fd) {
        error = path + ": " + std::strerror(errno);
        return nullptr;
    }
    termios tio{};
    if (::tcgetattr(fd.get(), &tio) != 0) {
        error = path + ": " + std::strerror(errno);
        return nullptr;
    }
    ::cfmakeraw(&tio);
    tio.c_cflag &= ~static_cast<tcflag_t>(CSTOPB | PARENB | CRTSCTS);
    tio.c_cflag |= CLOCAL | CREAD | CS8;
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 0;
    ::cfsetispeed(&tio, SpeedOf(baud));
    ::cfsetospeed(&tio, SpeedOf(baud));
    if (::tcsetattr(fd.get(), TCSANOW, &tio) != 0) {
        error = path + ": " + std::strerror(errno);
        return nullptr;
    }
    // Whatever the modem said before this session is not an answer to it.
    ::tcflush(fd.get(), TCIOFLUSH);
    return std::unique_ptr<PosixSerialPort>(new PosixSerialPort(std::move(fd), path));
}

void PosixSerialPort::fail(const char* what) {
    error_ = path_ + ": " + what;
}

bool PosixSerialPort::write(std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd_.get(), bytes.data(), bytes.size());
        if (written > 0) {
            bytes.remove_prefix(static_cast<std::size_t>(written));
            continue;
        }
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written < 0 && errno == EAGAIN) {
            pollfd pfd{fd_.get(), POLLOUT, 0};
            if (::poll(&pfd, 1, 5000) > 0) {
                continue;
            }
            fail("the port takes no more output");
            return false;
        }
        fail(std::strerror(errno));
        return false;
    }
    return true;
}

SerialPort::Status PosixSerialPort::read(std::string& into, std::chrono::milliseconds timeout) {
    pollfd pfd{fd_.get(), POLLIN, 0};
    const int ready = ::poll(&pfd, 1, static_cast<int>(std::max<long long>(0, timeout.count())));
    if (ready < 0) {
        if (errno == EINTR) {
            return Status::Timeout;
        }
        fail(std::strerror(errno));
        return Status::Failed;
    }
    if (ready == 0) {
        return Status::Timeout;
    }
    char buffer[512];
    const ssize_t got = ::read(fd_.get(), buffer, sizeof buffer);
    if (got > 0) {
        into.append(buffer, static_cast<std::size_t>(got));
        return Status::Data;
    }
    if (got < 0 && (errno == EAGAIN || errno == EINTR)) {
        return Status::Timeout;
    }
    fail(got == 0 || errno == EIO ? "the modem hung up" : std::strerror(errno));
    return Status::Failed;
}

std::unique_ptr<SerialPort> OpenSerialPort(const std::string& path, std::string& error) {
    return PosixSerialPort::open(path, error);
}

} // namespace tarvik::modem
