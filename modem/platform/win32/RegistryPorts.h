#pragma once

#include <string>
#include <string_view>
#include <vector>
#include <windows.h>

namespace tarvik::modem {

// The port names ("COM3") that the string values of the registry key `root`\`subkey` hold, as
// Windows' serial drivers list their ports under HARDWARE\DEVICEMAP\SERIALCOMM: one value a
// port, named after the driver's device, its data the port's name. Values of other types and
// empty ones are left out; no key, no ports.
std::vector<std::string> RegistryPorts(HKEY root, std::wstring_view subkey);

} // namespace tarvik::modem
