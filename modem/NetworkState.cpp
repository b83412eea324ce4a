#include "modem/NetworkState.h"

#include <charconv>
#include <vector>

namespace tarvik::modem {
namespace {

// The numbers after "<prefix>", split at commas; nothing when one of them is no number.
std::optional<std::vector<int>> Fields(std::string_view line, std::string_view prefix,
                                       std::size_t wanted) {
    if (!line.starts_with(prefix)) {
        return std::nullopt;
    }
    line.remove_prefix(prefix.size());
    std::vector<int> fields;
    while (fields.size() < wanted) {
        while (line.starts_with(' ')) {
            line.remove_prefix(1);
        }
        int value = 0;
        const auto [end, ec] = std::from_chars(line.data(), line.data() + line.size(), value);
        if (ec != std::errc()) {
            break;
        }
        fields.push_back(value);
        line.remove_prefix(static_cast<std::size_t>(end - line.data()));
        if (!line.starts_with(',')) {
            break;
        }
        line.remove_prefix(1);
    }
    return fields;
}

} // namespace

std::optional<Registration> ParseRegistration(std::string_view line) {
    const std::string_view prefix = line.starts_with("+CEREG:") ? "+CEREG:" : "+CREG:";
    // The read command answers "<n>,<stat>[,<lac>,<ci>...]"; the unsolicited code is
    // "<stat>[,<lac>,<ci>...]", where <lac> is quoted and so no number.
    const auto fields = Fields(line, prefix, 2);
    if (!fields || fields->empty()) {
        return std::nullopt;
    }
    const int stat = fields->size() == 2 ? (*fields)[1] : (*fields)[0];
    if (stat < 0 || stat > static_cast<int>(Registration::EmergencyOnly)) {
        return std::nullopt;
    }
    return static_cast<Registration>(stat);
}

bool IsRegistered(Registration stat) {
    switch (stat) {
    case Registration::Home:
    case Registration::Roaming:
    case Registration::HomeSmsOnly:
    case Registration::RoamingSmsOnly:
        return true;
    default:
        return false;
    }
}

std::string Describe(Registration stat) {
    switch (stat) {
    case Registration::NotSearching:
        return "not registered, not searching";
    case Registration::Home:
        return "registered (home network)";
    case Registration::Searching:
        return "searching for a network";
    case Registration::Denied:
        return "registration denied by the network";
    case Registration::Unknown:
        return "registration unknown";
    case Registration::Roaming:
        return "registered (roaming)";
    case Registration::HomeSmsOnly:
        return "registered for SMS only (home network)";
    case Registration::RoamingSmsOnly:
        return "registered for SMS only (roaming)";
    case Registration::EmergencyOnly:
        return "emergency calls only";
    }
    return "registration unknown";
}

std::optional<int> ParseSignal(std::string_view line) {
    const auto fields = Fields(line, "+CSQ:", 2);
    if (!fields || fields->empty()) {
        return std::nullopt;
    }
    return fields->front();
}

std::string DescribeSignal(int rssi) {
    // 0: -113 dBm or less, 1: -111, 2 to 30: -109 to -53 in steps of 2, 31: -51 or more,
    // 99: not known or not detectable.
    if (rssi < 0 || rssi > 31) {
        return "unknown";
    }
    if (rssi == 0) {
        return "no signal (-113 dBm or less)";
    }
    const int dbm = -113 + 2 * rssi;
    const std::string value = rssi == 31 ? "-51 dBm or more" : std::to_string(dbm) + " dBm";
    const char* words = rssi < 10 ? "weak" : rssi < 15 ? "fair" : rssi < 20 ? "good" : "excellent";
    return std::string(words) + " (" + value + ")";
}

} // namespace tarvik::modem
