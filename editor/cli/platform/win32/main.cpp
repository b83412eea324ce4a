// tarvik-cli on Windows: the arguments come as UTF-16 and reach the parser as UTF-8, the
// console shows UTF-8, and the standard streams carry bytes unchanged (a program file
// written to standard output keeps its CR LF, and a 0x1A inside one does not end input).
#include "base/Console.h"
#include "base/Utf8.h"
#include "editor/cli/CliCommand.h"

#include <cstdio>
#include <fcntl.h>
#include <io.h>
#include <iostream>
#include <string>
#include <string_view>
#include <vector>
#include <windows.h>

int wmain(int argc, wchar_t** argv) {
    std::vector<std::string> utf8;
    for (int i = 1; i < argc; ++i) {
        const std::wstring_view wide(argv[i]);
        utf8.push_back(tarvik::Utf16ToUtf8(std::u16string(wide.begin(), wide.end())));
    }
    const std::vector<std::string_view> args(utf8.begin(), utf8.end());
    ::SetConsoleOutputCP(CP_UTF8);
    ::_setmode(::_fileno(stdin), _O_BINARY);
    ::_setmode(::_fileno(stdout), _O_BINARY);
    ::_setmode(::_fileno(stderr), _O_BINARY);
    tarvik::cli::CliIo io{std::cin, std::cout, std::cerr, tarvik::base::StandardErrorIsTerminal()};
    return tarvik::cli::RunCli(args, io);
}
