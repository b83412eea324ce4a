#include "simlib/tests/TestEnvironment.h"

#include <cstdlib>
#include <windows.h>

namespace quenlib::test_support {

// _putenv_s changes the C runtime's copy and the process's own, which the library reads.
void SetVariable(const char* name, const char* value) {
    ::_putenv_s(name, value);
}

// An empty value removes the variable.
void UnsetVariable(const char* name) {
    ::_putenv_s(name, "");
}

std::string ProcessTag() {
    return std::to_string(::GetCurrentProcessId());
}

} // namespace quenlib::test_support
