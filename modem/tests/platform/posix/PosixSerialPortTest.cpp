// The serial port over a pseudo-terminal of the test's own: the test holds the master side,
// where a modem would be, and the port opens the slave side by its path.
#include "modem/platform/posix/PosixSerialPort.h"

#include "base/UniqueFd.h"
#include "testing/FileContents.h"
#include "testing/TemporaryFolder.h"
#include "testing/WaitUntil.h"

#include <chrono>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <stdlib.h>
#include <string>
#include <unistd.h>

namespace tarvik::modem {
namespace {

using namespace std::chrono_literals;

// The master side of a new pseudo-terminal (POSIX posix_openpt), and its slave's path.
struct PseudoTerminal {
    PseudoTerminal() : master(::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC)) {
        if (!master || ::grantpt(master.get()) != 0 || ::unlockpt(master.get()) != 0) {
            ADD_FAILURE() << "no pseudo-terminal";
            return;
        }
        slave = ::ptsname(master.get());
    }

    // What the port wrote, as far as it came within a generous wait.
    std::string readMaster(std::size_t size) {
        std::string got;
        testing::WaitUntil([&] {
            pollfd pfd{master.get(), POLLIN, 0};
            if (::poll(&pfd, 1, 0) > 0) {
                char buffer[256];
                const ssize_t n = ::read(master.get(), buffer, sizeof buffer);
                if (n > 0) {
                    got.append(buffer, static_cast<std::size_t>(n));
                }
            }
            return got.size() >= size;
        });
        return got;
    }

    UniqueFd master;
    std::string slave;
};

TEST(PosixSerialPortTest, CarriesBytesBothWaysUnchangedAndWaitsNoLongerThanAsked) {
    PseudoTerminal pty;
    std::string error;
    const auto port = PosixSerialPort::open(pty.slave, error);
    ASSERT_TRUE(port) << error;

    // Raw mode: CR, Ctrl-Z and ESC go as they are, with no echo and no line editing.
    const std::string command = std::string("AT+CMGS=3\r0011\x1A\x1B", 15);
    ASSERT_TRUE(port->write(command)) << port->error();
    EXPECT_EQ(pty.readMaster(command.size()), command);

    const std::string answer = "\r\n> \r\n+CMGS: 7\r\n\r\nOK\r\n";
    ASSERT_EQ(::write(pty.master.get(), answer.data(), answer.size()),
              static_cast<ssize_t>(answer.size()));
    std::string got;
    ASSERT_TRUE(testing::WaitUntil([&] {
        return port->read(got, 100ms) == SerialPort::Status::Data && got.size() >= answer.size();
    }));
    EXPECT_EQ(got, answer);

    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(port->read(got, 30ms), SerialPort::Status::Timeout);
    EXPECT_GE(std::chrono::steady_clock::now() - start, 30ms);
    EXPECT_EQ(got, answer);
}

TEST(PosixSerialPortTest, TellsAModemThatHungUp) {
    PseudoTerminal pty;
    std::string error;
    const auto port = PosixSerialPort::open(pty.slave, error);
    ASSERT_TRUE(port) << error;
    pty.master.reset(); // the USB modem was pulled out
    std::string got;
    EXPECT_EQ(port->read(got, 10s), SerialPort::Status::Failed);
    EXPECT_EQ(port->error(), pty.slave + ": the modem hung up");
    EXPECT_TRUE(got.empty());
}

TEST(PosixSerialPortTest, SaysWhyAPathIsNoPort) {
    testing::TemporaryFolder folder;
    testing::WriteAll(folder.path() / "plain", "not a terminal");
    struct Case {
        std::string path;
        std::string error;
    };
    const Case cases[] = {
        {folder.file("ttyNONE"), folder.file("ttyNONE") + ": No such file or directory"},
        {folder.file("plain"), folder.file("plain") + ": Inappropriate ioctl for device"},
        {folder.path().string(), folder.path().string() + ": Is a directory"},
    };
    for (const auto& c : cases) {
        std::string error;
        EXPECT_EQ(PosixSerialPort::open(c.path, error), nullptr) << c.path;
        EXPECT_EQ(error, c.error);
    }
}

} // namespace
} // namespace tarvik::modem
