#pragma once

#include "modem/ModemScan.h"
#include "modem/modemmanager/ModemManagerLink.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarvik::modem {

// Whether ModemManager's name of a port (the kernel's name below /dev: "ttyUSB2", "pts/3")
// is the device at `path`, with symbolic links such as /dev/serial/by-id/... followed.
bool IsPortNamed(std::string_view name, const std::filesystem::path& path);

// The modem among `modems` that has the port at `path` as its primary port or another one.
std::optional<ManagedModem> ModemOnPort(const std::vector<ManagedModem>& modems,
                                        const std::filesystem::path& path);

// What ModemManager tells of the modem, in the words `modems` prints for a modem it asks
// itself; `holder` names ModemManager.
ModemInfo DescribeManaged(const ManagedModem& modem, const std::string& port);

// ModemManager's time stamp ("2025-01-31T13:05:09+01") as a reply shows its time
// ("2025-01-31 13:05:09"); a stamp of another shape stays as it is.
std::string SmsTime(std::string_view timestamp);

} // namespace tarvik::modem
