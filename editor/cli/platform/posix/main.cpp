#include "base/Console.h"
#include "editor/cli/CliCommand.h"

#include <iostream>
#include <string_view>
#include <vector>

int main(int argc, char** argv) {
    const std::vector<std::string_view> args(argv + (argc > 0 ? 1 : 0), argv + argc);
    tarvik::cli::CliIo io{std::cin, std::cout, std::cerr, tarvik::base::StandardErrorIsTerminal()};
    return tarvik::cli::RunCli(args, io);
}
