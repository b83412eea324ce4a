#include "tools/mkpackage/MkpackageCommand.h"

#include "base/HelperProgram.h"
#include "tools/mkpackage/PackageError.h"
#include "tools/mkpackage/PackageLister.h"
#include "tools/mkpackage/PackageWriter.h"

#include <cstdlib>
#include <exception>
#include <filesystem>
#include <string_view>

namespace mkpackage {

namespace {

constexpr const char* kUsage =
    "Usage: mkpackage STUB FOLDER OUT\n"
    "  or:  mkpackage --list FILE\n"
    "  or:  mkpackage --help | --version\n"
    "Builds a setup package: OUT is a copy of STUB with every file and folder below FOLDER\n"
    "appended. A STUB named without a folder that is no file here is looked for beside\n"
    "mkpackage, in ../lib/tarvik from mkpackage's folder (where it is installed), then in\n"
    "PATH, so the installed stub is simply \"setup\". File names are stored in Windows-1252.\n"
    "Setup reads FOLDER/setup/setup.ini.\n"
    "\n"
    "Options:\n"
    "  --list FILE  print the directory of the package in FILE (type, stored size, name)\n"
    "  --help       display this help and exit\n"
    "  --version    output version information and exit\n";

// The stub's file: `name` itself, or, for a bare name that is no file in the current folder,
// the installed stub that lies with mkpackage, else the first file of that name in the folders
// of PATH, as a shell finds a program. The installed one comes first, so that another program
// called "setup" on the PATH is never taken for the stub.
std::filesystem::path FindStub(const std::string& name) {
    namespace fs = std::filesystem;
    std::error_code error;
    if (name.find('/') != std::string::npos || fs::is_regular_file(name, error)) {
        return name;
    }
    if (auto installed = tarvik::FindHelperProgram(tarvik::RunningProgramFolder(), name)) {
        return *installed;
    }
    const char* path = std::getenv("PATH");
    std::string_view folders = path != nullptr ? path : "";
    while (!folders.empty()) {
        const std::size_t colon = folders.find(':');
        const std::string_view folder = folders.substr(0, colon);
        folders.remove_prefix(colon == std::string_view::npos ? folders.size() : colon + 1);
        const fs::path candidate = fs::path(folder.empty() ? "." : folder) / name;
        if (fs::is_regular_file(candidate, error)) {
            return candidate;
        }
    }
    return name;
}

} // namespace

int RunMkpackage(std::span<const std::string> args, std::ostream& out, std::ostream& err) {
    try {
        if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
            out << kUsage;
            return 0;
        }
        if (args.size() == 1 && args[0] == "--version") {
            out << "mkpackage " << TARVIK_VERSION << '\n';
            return 0;
        }
        if (args.size() == 2 && args[0] == "--list") {
            ListPackage(args[1], out);
            return 0;
        }
        if (args.size() == 3 && !args[0].starts_with("-")) {
            for (const std::string& warning : BuildPackage(FindStub(args[0]), args[1], args[2])) {
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
