#include "modem/modemmanager/tests/FakeModemManager.h"

#include "testing/FileContents.h"
#include "testing/WaitUntil.h"

#include <fstream>
#include <stdexcept>

namespace tarvik::modem {
namespace {

std::string FirstLine(const std::filesystem::path& file) {
    std::ifstream in(file);
    std::string line;
    std::getline(in, line);
    return in ? line : std::string();
}

// A bus of the session kind that listens in the test's folder only, lets everyone own any
// name and talk to anyone, and starts no service by activation.
std::string BusConfiguration(const std::filesystem::path& folder) {
    return "<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN\"\n"
           " \"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
           "<busconfig>\n"
           "  <type>session</type>\n"
           "  <listen>unix:dir=" +
           folder.string() +
           "</listen>\n"
           "  <auth>EXTERNAL</auth>\n"
           "  <policy context=\"default\">\n"
           "    <allow send_destination=\"*\" eavesdrop=\"true\"/>\n"
           "    <allow eavesdrop=\"true\"/>\n"
           "    <allow own=\"*\"/>\n"
           "  </policy>\n"
           "</busconfig>\n";
}

} // namespace

FakeModemManager::FakeModemManager(const std::string& port,
                                   const std::vector<std::string>& options) {
    const auto config = folder_.path() / "bus.conf";
    testing::WriteAll(config, BusConfiguration(folder_.path()));
    const auto busOutput = folder_.path() / "bus-address";
    bus_ = simcard::ChildProcess(
        {DBUS_DAEMON_PROGRAM, "--config-file=" + config.string(), "--nofork", "--print-address=1"},
        busOutput, simcard::ChildProcess::Lifetime::DiesWithParent);
    if (!testing::WaitUntil(
            [&] { return !(address_ = FirstLine(busOutput)).empty() || !bus_.running(); }) ||
        address_.empty()) {
        throw std::runtime_error("dbus-daemon did not start");
    }
    const auto fakeOutput = folder_.path() / "fake-output";
    std::vector<std::string> arguments = {FAKE_MODEMMANAGER_PYTHON,
                                          FAKE_MODEMMANAGER_SCRIPT,
                                          "--address",
                                          address_,
                                          "--port",
                                          port,
                                          "--record",
                                          folder_.file("record")};
    arguments.insert(arguments.end(), options.begin(), options.end());
    fake_ = simcard::ChildProcess(arguments, fakeOutput,
                                  simcard::ChildProcess::Lifetime::DiesWithParent);
    if (!testing::WaitUntil([&] { return FirstLine(fakeOutput) == "ready" || !fake_.running(); }) ||
        FirstLine(fakeOutput) != "ready") {
        throw std::runtime_error("the fake ModemManager did not start: " +
                                 testing::ReadAll(fakeOutput));
    }
}

FakeModemManager::~FakeModemManager() {
    fake_.stop();
    bus_.stop();
}

std::vector<std::string> FakeModemManager::events() const {
    std::vector<std::string> lines;
    std::ifstream in(folder_.path() / "record");
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

} // namespace tarvik::modem
