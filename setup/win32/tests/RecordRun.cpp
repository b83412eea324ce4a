// A stand-in for a real setup program in the packages that the tests of setup.exe make: it
// appends one line to the file that SETUP_RECORD names, "<its own file name> <its arguments>",
// and a line "from <its folder>" to the file that SETUP_RECORD_FOLDER names, when set.

#include <cstdio>
#include <cstdlib>
#include <string>
#include <windows.h>

namespace {

// Appends the line in UTF-8.
void AppendLine(const wchar_t* path, const std::wstring& line) {
    const std::wstring text = line + L"\n";
    const int size = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                           nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(size), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(),
                          size, nullptr, nullptr);
    FILE* file = ::_wfopen(path, L"ab");
    if (file != nullptr) {
        std::fwrite(bytes.data(), 1, bytes.size(), file);
        std::fclose(file);
    }
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    wchar_t self[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring path = self;
    const std::size_t slash = path.find_last_of(L"\\/");
    std::wstring line = path.substr(slash + 1);
    for (int i = 1; i < argc; ++i) {
        line += L" ";
        line += argv[i];
    }
    if (const wchar_t* record = ::_wgetenv(L"SETUP_RECORD")) {
        AppendLine(record, line);
    }
    if (const wchar_t* folders = ::_wgetenv(L"SETUP_RECORD_FOLDER")) {
        AppendLine(folders, path.substr(0, slash));
    }
    return 0;
}
