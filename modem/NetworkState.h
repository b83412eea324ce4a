#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tarvik::modem {

// The <stat> of +CREG/+CEREG (3GPP TS 27.007 §7.2, §10.1.22).
enum class Registration {
    NotSearching = 0,
    Home = 1,
    Searching = 2,
    Denied = 3,
    Unknown = 4,
    Roaming = 5,
    HomeSmsOnly = 6,
    RoamingSmsOnly = 7,
    EmergencyOnly = 8,
};

// The <stat> of a "+CREG: [<n>,]<stat>[,...]" or "+CEREG: ..." line, in the answer to the
// read command (with <n>) or unsolicited (without); nothing for another line or a value
// outside the table.
std::optional<Registration> ParseRegistration(std::string_view line);

// Whether the modem can send a message: registered at home or roaming, SMS only included.
bool IsRegistered(Registration stat);

// The state in words: "registered (home network)", "searching for a network" ...
std::string Describe(Registration stat);

// The <rssi> of "+CSQ: <rssi>,<ber>" (3GPP TS 27.007 §8.5); nothing for another line.
std::optional<int> ParseSignal(std::string_view line);

// The signal in words and dBm: "good (-83 dBm)", "no signal", "unknown".
std::string DescribeSignal(int rssi);

} // namespace tarvik::modem
