#include "modem/platform/win32/Win32SerialPort.h"

#include "base/Files.h"
#include "modem/platform/win32/Win32ErrorText.h"

#include <algorithm>
#include <windows.h>

namespace tarvik::modem {
namespace {

// After the first bytes of a read, a pause this long ends it: the modem has said what it had
// to say for now. Windows documents a setting that returns at once when anything came
// (MAXDWORD for the interval and the multiplier), but wine, where the tests run, waits out
// the whole timeout with it; the interval reads the same on both, a few milliseconds later.
constexpr DWORD pauseAfterData = 20;
// How long a write may wait for the port to take its bytes.
constexpr DWORD writeWait = 5000;
// Read in pieces of this size; a longer answer comes in more reads.
constexpr DWORD readPiece = 512;

std::string OpenFailure(DWORD code) {
    switch (code) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
        return "no such port";
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
        // A COM port opens for one program at a time.
        return "the port is in use by another program";
    default:
        return Win32ErrorText(code);
    }
}

// The codes a read or write of an open port fails with when the device went away (a USB
// modem pulled out, a Bluetooth link dropped).
bool DeviceGone(DWORD code) {
    switch (code) {
    case ERROR_ACCESS_DENIED:
    case ERROR_BAD_COMMAND:
    case ERROR_GEN_FAILURE:
    case ERROR_OPERATION_ABORTED:
    case ERROR_DEVICE_NOT_CONNECTED:
    case ERROR_DEVICE_REMOVED:
        return true;
    default:
        return false;
    }
}

// 8N1 at `baud`, binary, no flow control of either kind (XON and XOFF are data), DTR and RTS
// raised as a modem expects of a program that talks to it, and no abort on a line error.
void SetLine(DCB& dcb, unsigned baud) {
    dcb.BaudRate = baud;
    dcb.ByteSize = 8;
    dcb.Parity = NOPARITY;
    dcb.StopBits = ONESTOPBIT;
    dcb.fBinary = TRUE;
    dcb.fParity = FALSE;
    dcb.fOutxCtsFlow = FALSE;
    dcb.fOutxDsrFlow = FALSE;
    dcb.fDtrControl = DTR_CONTROL_ENABLE;
    dcb.fDsrSensitivity = FALSE;
    dcb.fOutX = FALSE;
    dcb.fInX = FALSE;
    dcb.fErrorChar = FALSE;
    dcb.fNull = FALSE;
    dcb.fRtsControl = RTS_CONTROL_ENABLE;
    dcb.fAbortOnError = FALSE;
}

} // namespace

void Win32SerialPort::HandleCloser::operator()(void* handle) const {
    ::CloseHandle(handle);
}

std::wstring Win32SerialPort::devicePath(std::string_view name) {
    if (name.ends_with(':')) {
        name.remove_suffix(1); // "COM5:", as older programs write it
    }
    const std::wstring wide = base::PathFromUtf8(name).wstring();
    if (wide.starts_with(L"\\\\.\\") || wide.starts_with(L"\\\\?\\")) {
        return wide;
    }
    return L"\\\\.\\" + wide;
}

std::unique_ptr<Win32SerialPort> Win32SerialPort::open(const std::string& name, std::string& error,
                                                       unsigned baud) {
    const std::wstring path = devicePath(name);
    const HANDLE opened = ::CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                        OPEN_EXISTING, 0, nullptr);
    if (opened == INVALID_HANDLE_VALUE) {
        error = name + ": " + OpenFailure(::GetLastError());
        return nullptr;
    }
    UniqueHandle handle(opened);
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    if (!::GetCommState(opened, &dcb)) {
        error = name + ": not a serial port (" + Win32ErrorText(::GetLastError()) + ")";
        return nullptr;
    }
    SetLine(dcb, baud);
    if (!::SetCommState(opened, &dcb)) {
        error = name + ": " + Win32ErrorText(::GetLastError());
        return nullptr;
    }
    std::unique_ptr<Win32SerialPort> port(new Win32SerialPort(std::move(handle), name));
    if (!port->setReadWait(std::chrono::milliseconds(0))) {
        error = port->error_;
        return nullptr;
    }
    // Whatever the modem said before this session is not an answer to it.
    ::PurgeComm(opened, PURGE_RXABORT | PURGE_RXCLEAR | PURGE_TXABORT | PURGE_TXCLEAR);
    return port;
}

void Win32SerialPort::fail(unsigned long code) {
    error_ = name_ + ": " + (DeviceGone(code) ? "the modem hung up" : Win32ErrorText(code));
}

bool Win32SerialPort::setReadWait(std::chrono::milliseconds timeout) {
    const long long wait = std::clamp<long long>(timeout.count(), 0, MAXDWORD - 1);
    if (wait == readWait_) {
        return true;
    }
    COMMTIMEOUTS timeouts{};
    if (wait == 0) {
        timeouts.ReadIntervalTimeout = MAXDWORD; // what has come, at once
    } else {
        timeouts.ReadIntervalTimeout = pauseAfterData;
        timeouts.ReadTotalTimeoutConstant = static_cast<DWORD>(wait);
    }
    timeouts.WriteTotalTimeoutConstant = writeWait;
    if (!::SetCommTimeouts(handle_.get(), &timeouts)) {
        fail(::GetLastError());
        return false;
    }
    readWait_ = wait;
    return true;
}

bool Win32SerialPort::write(std::string_view bytes) {
    while (!bytes.empty()) {
        const auto piece = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1U << 16));
        DWORD written = 0;
        if (!::WriteFile(handle_.get(), bytes.data(), piece, &written, nullptr)) {
            fail(::GetLastError());
            return false;
        }
        if (written == 0) {
            error_ = name_ + ": the port takes no more output";
            return false;
        }
        bytes.remove_prefix(written);
    }
    return true;
}

SerialPort::Status Win32SerialPort::read(std::string& into, std::chrono::milliseconds timeout) {
    if (!setReadWait(timeout)) {
        return Status::Failed;
    }
    char buffer[readPiece];
    DWORD got = 0;
    if (!::ReadFile(handle_.get(), buffer, readPiece, &got, nullptr)) {
        fail(::GetLastError());
        return Status::Failed;
    }
    if (got == 0) {
        return Status::Timeout;
    }
    into.append(buffer, got);
    return Status::Data;
}

std::unique_ptr<SerialPort> OpenSerialPort(const std::string& path, std::string& error) {
    return Win32SerialPort::open(path, error);
}

} // namespace tarvik::modem
