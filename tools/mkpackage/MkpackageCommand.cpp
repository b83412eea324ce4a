#include "MkpackageCommand.h"

#include "PackageError.h"
#include "PackageLister.h"
#include "PackageWriter.h"

#include <exception>

namespace mkpackage {

namespace {

constexpr const char* kUsage =
    "usage: mkpackage STUB FOLDER OUT\n"
    "       mkpackage --list FILE\n"
    "       mkpackage --help\n"
    "\n"
    "Builds a setup package: OUT is a copy of STUB with every file and folder below FOLDER\n"
    "appended. File names are stored in Windows-1252. Setup reads FOLDER/setup/setup.ini.\n"
    "--list prints the directory of the package in FILE (type, stored size, name).\n";

} // namespace

int RunMkpackage(std::span<const std::string> args, std::ostream& out, std::ostream& err) {
    try {
        if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
            out << kUsage;
            return 0;
        }
        if (args.size() == 2 && args[0] == "--list") {
            ListPackage(args[1], out);
            return 0;
        }
        if (args.size() == 3 && !args[0].starts_with("-")) {
            for (const std::string& warning : BuildPackage(args[0], args[1], args[2])) {
                err << "mkpackage: warning: " << warning << '\n';
            }
            return 0;
        }
        err << kUsage;
        return 1;
    } catch (const std::exception& error) {
        err << "mkpackage: " << error.what() << '\n';
        return 1;
    }
}

} // namespace mkpackage
