#include "modem/modemmanager/ManagedPort.h"

#include "modem/NetworkState.h"

#include <algorithm>

namespace tarvik::modem {
namespace {

// MMModemLock values past "none" name what the SIM waits for.
std::string SimState(std::uint32_t lock) {
    switch (lock) {
    case 0:
        return "unknown";
    case 1:
        return "ready";
    case 2:
        return "asks for SIM PIN";
    case 3:
        return "asks for SIM PIN2";
    case 4:
        return "asks for SIM PUK";
    case 5:
        return "asks for SIM PUK2";
    default:
        return "locked (ModemManager lock " + std::to_string(lock) + ")";
    }
}

// MMModem3gppRegistrationState takes <stat> of +CREG for 0 to 8; 9 and 10 are home and
// roaming without CSFB, 11 and later are no registration that sends messages.
Registration RegistrationOf(std::uint32_t state) {
    if (state <= 8) {
        return static_cast<Registration>(state);
    }
    if (state == 9) {
        return Registration::Home;
    }
    if (state == 10) {
        return Registration::Roaming;
    }
    return Registration::Unknown;
}

} // namespace

bool IsPortNamed(std::string_view name, const std::filesystem::path& path) {
    if (name.empty()) {
        return false;
    }
    std::error_code ec;
    std::filesystem::path device = std::filesystem::weakly_canonical(path, ec);
    if (ec) {
        device = path.lexically_normal();
    }
    const std::filesystem::path dev("/dev");
    const std::filesystem::path below = device.lexically_relative(dev);
    if (!below.empty() && !below.string().starts_with("..")) {
        return below.string() == name;
    }
    // Outside /dev: the name of the file itself.
    return device.filename().string() == name;
}

std::optional<ManagedModem> ModemOnPort(const std::vector<ManagedModem>& modems,
                                        const std::filesystem::path& path) {
    for (const auto& modem : modems) {
        const auto named = [&](const std::string& name) { return IsPortNamed(name, path); };
        if (named(modem.primaryPort) ||
            std::any_of(modem.ports.begin(), modem.ports.end(), named)) {
            return modem;
        }
    }
    return std::nullopt;
}

ModemInfo DescribeManaged(const ManagedModem& modem, const std::string& port) {
    ModemInfo info;
    info.port = port;
    info.vendor = modem.manufacturer;
    info.model = modem.model;
    info.sim = SimState(modem.unlockRequired);
    info.registration =
        modem.registration ? Describe(RegistrationOf(*modem.registration)) : "registration unknown";
    info.signal = modem.signalRecent ? std::to_string(modem.signalQuality) + " %" : "unknown";
    info.holder = "ModemManager";
    return info;
}

std::string SmsTime(std::string_view timestamp) {
    // "YYYY-MM-DDTHH:MM:SS" and a zone, or nothing more.
    constexpr std::size_t dateAndTime = 19;
    if (timestamp.size() < dateAndTime || timestamp[10] != 'T') {
        return std::string(timestamp);
    }
    std::string time(timestamp.substr(0, dateAndTime));
    time[10] = ' ';
    return time;
}

} // namespace tarvik::modem
