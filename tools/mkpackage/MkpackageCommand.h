#pragma once

#include <ostream>
#include <span>
#include <string>

namespace mkpackage {

// Runs mkpackage with its arguments (the program name not included) and returns the exit code:
//   mkpackage STUB FOLDER OUT   build OUT from STUB and FOLDER's tree
//   mkpackage --list FILE       print the directory of FILE's package
//   mkpackage --help            print the usage
// Errors go to `err`, prefixed "mkpackage: ", and give 1; warnings about a package that was
// built go there too, prefixed "mkpackage: warning: ", and give 0.
int RunMkpackage(std::span<const std::string> args, std::ostream& out, std::ostream& err);

} // namespace mkpackage
