#pragma once

#include <string>
#include <vector>

namespace setup::test {

// The messages of an install log file, without their stamps and line ends; empty when there
// is no file. Throws when a line is not "[stamp]  message" with CR LF.
std::vector<std::string> LogMessages(const std::string& path);

// The stamps of an install log file, one a line.
std::vector<std::string> LogStamps(const std::string& path);

} // namespace setup::test
