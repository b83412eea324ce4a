#include "simlib/tests/TestEnvironment.h"

#include <cstdlib>
#include <unistd.h>

namespace quenlib::test_support {

void SetVariable(const char* name, const char* value) {
    ::setenv(name, value, 1);
}

void UnsetVariable(const char* name) {
    ::unsetenv(name);
}

std::string ProcessTag() {
    return std::to_string(::getpid());
}

} // namespace quenlib::test_support
