#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tarvik::modem {

// A final result of a modem that ends a command with a failure, for the user:
// "ERROR", or "+CMS ERROR: 330 (SMSC address unknown)" with the meaning of the common
// codes. Nothing when `line` is not a failure result.
std::optional<std::string> DescribeFailure(std::string_view line);

} // namespace tarvik::modem
