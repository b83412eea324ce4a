#pragma once

#include "testing/TemporaryFolder.h"
#include "tools/simcard/fixture/ChildProcess.h"

#include <string>
#include <vector>

namespace tarvik::modem {

// A private message bus (dbus-daemon) with a fake ModemManager on it that manages one modem
// on `port`, for one test; both are stopped by their process ids when the fixture goes.
// The options go to the fake: "--refuse-inhibit", "--reply TEXT". Throws
// std::runtime_error when either does not come up.
class FakeModemManager {
public:
    explicit FakeModemManager(const std::string& port,
                              const std::vector<std::string>& options = {});
    FakeModemManager(const FakeModemManager&) = delete;
    FakeModemManager& operator=(const FakeModemManager&) = delete;
    ~FakeModemManager();

    // The bus's address, for TARVIK_MODEMMANAGER_BUS.
    const std::string& address() const { return address_; }

    // What the fake saw, one line an event: "inhibit UID", "uninhibit UID", "released UID"
    // (the inhibiting connection closed), "refused UID", "sent NUMBER TEXT", "deleted PATH".
    std::vector<std::string> events() const;

private:
    testing::TemporaryFolder folder_;
    std::string address_;
    simcard::ChildProcess bus_;
    simcard::ChildProcess fake_;
};

} // namespace tarvik::modem
