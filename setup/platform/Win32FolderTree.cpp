// Deleting the temporary folder on Windows: a listing with FindFirstFileW, attributes reset to
// normal before each deletion (a read-only file would refuse it), and a link or junction
// removed as itself, never entered.

#include "setup/platform/FolderTree.h"
#include "setup/platform/Win32Text.h"

#include <windows.h>

namespace setup {

namespace {

void DeleteContents(const std::wstring& folder) {
    WIN32_FIND_DATAW item{};
    const HANDLE search = ::FindFirstFileW((folder + L"\\*").c_str(), &item);
    if (search == INVALID_HANDLE_VALUE) {
        return;
    }
    do {
        const std::wstring name = item.cFileName;
        if (name.empty() || name.front() == L'.') {
            continue;
        }
        const std::wstring path = folder + L"\\" + name;
        const bool isFolder = (item.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        const bool isLink = (item.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
        ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        if (isFolder) {
            if (!isLink) {
                DeleteContents(path);
            }
            ::RemoveDirectoryW(path.c_str());
        } else {
            ::DeleteFileW(path.c_str());
        }
    } while (::FindNextFileW(search, &item));
    ::FindClose(search);
}

} // namespace

bool DeleteFolderTreeSkippingDotNames(const std::string& path) {
    std::wstring folder = WideFromUtf8(path);
    while (folder.size() > 1 && (folder.back() == L'\\' || folder.back() == L'/')) {
        folder.pop_back();
    }
    if (folder.empty()) {
        return false;
    }
    const DWORD attributes = ::GetFileAttributesW(folder.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0 ||
        (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
        return false;
    }
    DeleteContents(folder);
    ::SetFileAttributesW(folder.c_str(), FILE_ATTRIBUTE_NORMAL);
    return ::RemoveDirectoryW(folder.c_str()) != 0;
}

} // namespace setup
