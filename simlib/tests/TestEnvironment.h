#pragma once

#include <string>

namespace quenlib::test_support {

// The process environment as the tests change it; each platform has its own calls
// (platform/*/TestEnvironment.cpp).
void SetVariable(const char* name, const char* value);
void UnsetVariable(const char* name);
// A number that differs between processes running at once, for private file names.
std::string ProcessTag();

} // namespace quenlib::test_support
