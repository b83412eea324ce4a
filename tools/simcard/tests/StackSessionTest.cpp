// What a program that starts the card stack leaves behind: nothing, however it ends.
//
// Each test runs in a stack of its own: private mount and network namespaces give its pcscd
// its own /run/pcscd socket and its own vpcd ports, so the machine-wide stack that other test
// runs share is neither seen nor touched.
#include "tools/simcard/fixture/StackSession.h"

#include "base/UniqueFd.h"
#include "testing/TemporaryFolder.h"
#include "testing/WaitUntil.h"
#include "tools/simcard/fixture/ChildProcess.h"
#include "tools/simcard/fixture/ProcessEnvironment.h"
#include "tools/simcard/fixture/ReaderWatch.h"

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <map>
#include <net/if.h>
#include <optional>
#include <sched.h>
#include <stdexcept>
#include <string>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace simcard {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// Generous: the machine may be busy, and starting a pcscd and a card takes a second or two.
constexpr auto Patience = 60s;

std::string systemError(const std::string& what) {
    return what + ": " + std::strerror(errno);
}

void enterPrivateStack() {
    if (::unshare(CLONE_NEWNS | CLONE_NEWNET) != 0)
        throw std::runtime_error(systemError("a stack of its own needs new namespaces (root)"));
    // Mounts made from here on stay in this namespace.
    if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
        throw std::runtime_error(systemError("cannot make the mounts private"));
    fs::create_directories("/run/pcscd");
    if (::mount("tmpfs", "/run/pcscd", "tmpfs", 0, "mode=0755") != 0)
        throw std::runtime_error(systemError("cannot mount /run/pcscd"));
    // vpcd listens on the loopback interface, which a new network namespace has down.
    tarvik::UniqueFd socket(::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0));
    ifreq request{};
    std::strcpy(request.ifr_name, "lo");
    if (!socket || ::ioctl(socket.get(), SIOCGIFFLAGS, &request) != 0)
        throw std::runtime_error(systemError("cannot read the loopback flags"));
    request.ifr_flags = static_cast<short>(request.ifr_flags | IFF_UP);
    if (::ioctl(socket.get(), SIOCSIFFLAGS, &request) != 0)
        throw std::runtime_error(systemError("cannot bring the loopback up"));
}

// Running, not ended: a zombie has ended, only its parent has not collected it yet.
bool running(pid_t pid) {
    auto stat = ReadWholeFile("/proc/" + std::to_string(pid) + "/stat");
    auto close = stat.rfind(')');
    return close != std::string::npos && close + 2 < stat.size() && stat[close + 2] != 'Z';
}

bool waitUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout = Patience) {
    return tarvik::testing::WaitUntil(done, timeout, 20ms);
}

std::optional<pid_t> recordedPcscd(const fs::path& stackDirectory) {
    std::ifstream in(stackDirectory / "pcscd.pid");
    long pid = 0;
    if (in >> pid && pid > 0)
        return static_cast<pid_t>(pid);
    return std::nullopt;
}

enum class Ending { Return, Exit, Throw, Interrupt, Terminate, Kill };

struct ProgramRun {
    const char* name;
    const char* user; // what the program holds: "card" or "session"
    Ending ending;
};

void PrintTo(const ProgramRun& run, std::ostream* out) {
    *out << run.name;
}

class StackSessionTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        static bool entered = false;
        if (!entered)
            enterPrivateStack();
        entered = true;
    }

    void SetUp() override {
        ASSERT_FALSE(ReaderWatch::serviceRunning()) << "the private stack is not empty";
        useStack(root_ / "stack");
    }

    void TearDown() override {
        // A failed test may have left its pcscd: stop it, so that the next test starts clean.
        for (const auto& directory : {root_ / "stack", root_ / "other"}) {
            if (auto pid = recordedPcscd(directory); pid && running(*pid)) {
                ::kill(*pid, SIGTERM);
                if (!waitUntil([&] { return !running(*pid); }, 10s))
                    ::kill(*pid, SIGKILL);
            }
        }
    }

    // The stack directory of the programs started from here on.
    void useStack(const fs::path& directory) {
        stack_ = directory;
        ::setenv("SIMCARD_STACK_DIR", directory.c_str(), 1);
    }

    // Starts a program in a session of its own (as a shell starts a foreground job) and
    // waits until it says "ready". Its standard input ends when end() is called.
    ChildProcess start(const std::vector<std::string>& arguments) {
        output_ = root_ / ("output-" + std::to_string(++programs_));
        int pipe[2];
        if (::pipe2(pipe, O_CLOEXEC) != 0)
            throw std::runtime_error(systemError("pipe"));
        tarvik::UniqueFd input(pipe[0]);
        input_.reset(pipe[1]);
        ChildProcess program(arguments, output_, ChildProcess::Lifetime::Detached, input.get());
        const bool ready = waitUntil([&] {
            return ReadWholeFile(output_).find("ready") != std::string::npos || !program.running();
        });
        EXPECT_TRUE(ready && program.running()) << "the program did not get ready:\n"
                                                << ReadWholeFile(output_);
        return program;
    }

    void end(ChildProcess& program, Ending ending) {
        input_.reset();
        const std::map<Ending, int> signals = {
            {Ending::Interrupt, SIGINT}, {Ending::Terminate, SIGTERM}, {Ending::Kill, SIGKILL}};
        if (auto signal = signals.find(ending); signal != signals.end())
            ::kill(-program.pid(), signal->second); // the whole group, as Ctrl+C does
        EXPECT_TRUE(waitUntil([&] { return !program.running(); })) << "the program did not end:\n"
                                                                   << ReadWholeFile(output_);
    }

    // Waits until the guard of `program` has done its work.
    bool guardDone(pid_t program) {
        return waitUntil([&] {
            return ReadWholeFile(stack_ / "guard.log")
                       .find("guard of " + std::to_string(program) + ":") != std::string::npos;
        });
    }

    tarvik::testing::TemporaryFolder folder_;
    const fs::path root_ = folder_.path();
    fs::path stack_;
    fs::path output_;
    tarvik::UniqueFd input_;
    int programs_ = 0;
};

std::vector<std::string> stackUser(const std::string& user, Ending ending) {
    const std::map<Ending, std::string> names = {
        {Ending::Return, "return"}, {Ending::Exit, "exit"}, {Ending::Throw, "throw"}};
    auto name = names.find(ending);
    return {STACK_USER_PROGRAM, user, name == names.end() ? "wait" : name->second};
}

class ProgramEnding : public StackSessionTest, public ::testing::WithParamInterface<ProgramRun> {};

TEST_P(ProgramEnding, LeavesNoPcscdBehind) {
    const ProgramRun run = GetParam();
    auto program = start(stackUser(run.user, run.ending));
    const auto pcscd = recordedPcscd(stack_);
    ASSERT_TRUE(pcscd && running(*pcscd)) << "the program did not start a pcscd";

    end(program, run.ending);

    // Stopped, and forgotten: the next program starts a fresh one.
    EXPECT_TRUE(waitUntil([&] { return !running(*pcscd) && !recordedPcscd(stack_); }))
        << "pcscd " << *pcscd << " still runs or is still recorded after the program ended";
    EXPECT_FALSE(ReaderWatch::serviceRunning());
}

INSTANTIATE_TEST_SUITE_P(
    AnyEnding, ProgramEnding,
    ::testing::Values(ProgramRun{"CardReturn", "card", Ending::Return},
                      ProgramRun{"CardExit", "card", Ending::Exit},
                      ProgramRun{"CardUncaughtException", "card", Ending::Throw},
                      ProgramRun{"CardCtrlC", "card", Ending::Interrupt},
                      ProgramRun{"CardTerminated", "card", Ending::Terminate},
                      ProgramRun{"CardKilled", "card", Ending::Kill},
                      ProgramRun{"SessionReturn", "session", Ending::Return},
                      ProgramRun{"SessionCtrlC", "session", Ending::Interrupt}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(StackSessionTest, AStackSomeoneStillUsesKeepsRunning) {
    std::optional<StackSession> ours(std::in_place);
    const auto pcscd = recordedPcscd(stack_);
    ASSERT_TRUE(pcscd);

    auto program = start(stackUser("card", Ending::Interrupt));
    end(program, Ending::Interrupt);
    ASSERT_TRUE(guardDone(program.pid()));
    EXPECT_TRUE(running(*pcscd)) << "stopped under a user";

    // The last user stops it as its session ends.
    ours.reset();
    EXPECT_FALSE(running(*pcscd));
    EXPECT_FALSE(ReaderWatch::serviceRunning());
}

TEST_F(StackSessionTest, APcscdStartedElsewhereIsNeverStopped) {
    // A pcscd that this stack directory did not start: it belongs to someone else.
    std::optional<StackSession> elsewhere(std::in_place, CardStack(root_ / "other"));
    const auto pcscd = recordedPcscd(root_ / "other");
    ASSERT_TRUE(pcscd);

    auto program = start(stackUser("card", Ending::Kill));
    EXPECT_FALSE(recordedPcscd(stack_)) << "the program started a pcscd of its own";
    end(program, Ending::Kill);
    ASSERT_TRUE(guardDone(program.pid()));
    EXPECT_TRUE(running(*pcscd));

    elsewhere.reset();
    EXPECT_FALSE(running(*pcscd));
}

TEST_F(StackSessionTest, ATestRunInterruptedBeforeItsCleanupLeavesNoPcscd) {
    // A test runner that ran the fixture's `start` and was stopped by Ctrl+C before `stop`.
    auto runner =
        start({"/bin/sh", "-c",
               std::string(SIMCARD_STACK_PROGRAM) + " start && echo ready && exec sleep 1000"});
    const auto pcscd = recordedPcscd(stack_);
    ASSERT_TRUE(pcscd && running(*pcscd));

    end(runner, Ending::Interrupt);
    EXPECT_TRUE(waitUntil([&] { return !running(*pcscd); }))
        << "pcscd " << *pcscd << " still runs after the test run ended";
}

} // namespace
} // namespace simcard
