#include "tools/mkpackage/MkpackageCommand.h"

#include "base/CommandLine.h"
#include "base/HelperProgram.h"
#include "tools/mkpackage/PackageError.h"
#include "tools/mkpackage/PackageLister.h"
#include "tools/mkpackage/PackageWriter.h"

#include <array>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <string_view>
#include <vector>

namespace mkpackage {

namespace {

using tarvik::ArgOption;
using tarvik::ArgValue;

constexpr std::array options{
    ArgOption{"--list", ArgValue::File, "FILE",
              "print the directory of the package in FILE (type, stored size, name)"},
    ArgOption{"--help", ArgValue::None, "", "display this help and exit"},
    ArgOption{"--version", ArgValue::None, "", "output version information and exit"},
};

// STUB FOLDER OUT, or none with --list.
constexpr tarvik::ArgOperands operands{.min = 0, .max = 3};

void WriteUsage(std::ostream& out) {
    out << "Usage: mkpackage STUB FOLDER OUT\n"
           "  or:  mkpackage --list FILE\n"
           "  or:  mkpackage --help | --version\n"
           "Builds a setup package: OUT is a copy of STUB with every file and folder below "
           "FOLDER\n"
           "appended. A STUB named without a folder that is no file here is looked for beside\n"
           "mkpackage, in ../lib/tarvik from mkpackage's folder (where it is installed), then "
           "in\n"
           "PATH, so the installed stub is simply \"setup\". File names are stored in "
           "Windows-1252.\n"
           "Setup reads FOLDER/setup/setup.ini.\n"
           "\n"
           "Options:\n";
    tarvik::WriteHelpRows(tarvik::OptionRows(options), out);
}

// "" when the operands suit what the options ask, else what is wrong with them.
std::string OperandProblem(const tarvik::ParsedArgs& args) {
    const std::size_t wanted = args.has("--list") || args.has("--version") ? 0 : 3;
    if (args.operands.size() > wanted) {
        return "extra operand '" + std::string(args.operands[wanted]) + "'";
    }
    if (args.operands.size() < wanted) {
        return "missing operand";
    }
    return {};
}

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
    const std::vector<std::string_view> views(args.begin(), args.end());
    if (tarvik::AsksForHelp(views)) {
        WriteUsage(out);
        return 0;
    }
    tarvik::ArgParse parse = tarvik::ParseArgs(options, operands, views);
    if (parse.ok()) {
        parse.error = OperandProblem(parse.args);
    }
    if (!parse.ok()) {
        err << "mkpackage: " << parse.error << "\nTry 'mkpackage --help'.\n";
        return 1;
    }
    const tarvik::ParsedArgs& parsed = parse.args;
    try {
        if (parsed.has("--version")) {
            out << "mkpackage " << TARVIK_VERSION << '\n';
        } else if (const auto listed = parsed.value("--list")) {
            ListPackage(std::string(*listed), out);
        } else {
            const std::string stub(parsed.operands[0]);
            for (const std::string& warning :
                 BuildPackage(FindStub(stub), std::string(parsed.operands[1]),
                              std::string(parsed.operands[2]))) {
                err << "mkpackage: warning: " << warning << '\n';
            }
        }
        return 0;
    } catch (const std::exception& error) {
        err << "mkpackage: " << error.what() << '\n';
        return 1;
    }
}

} // namespace mkpackage
