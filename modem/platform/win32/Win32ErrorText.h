#pragma once

#include <string>

namespace tarvik::modem {

// The system's message for a Win32 error code, in UTF-8, without the trailing full stop and
// line end; the code in numbers when the system has no message for it.
std::string Win32ErrorText(unsigned long code);

} // namespace tarvik::modem
