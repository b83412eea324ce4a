#include "setup/platform/FolderTree.h"

#include "setup/platform/FileHandle.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace setup {

namespace {

void DeleteContents(const FileHandle& folder) {
    // The names are read in full before anything is deleted, so that the listing does not
    // change under the reader.
    for (const std::string& name : ListFolderNames(folder)) {
        if (name.empty() || name.front() == '.') {
            continue;
        }
        struct stat item {};
        if (::fstatat(folder.get(), name.c_str(), &item, AT_SYMLINK_NOFOLLOW) != 0) {
            continue;
        }
        if (S_ISDIR(item.st_mode)) {
            // A folder that a started program left without the owner's rights could be
            // neither listed nor emptied. It was just seen as a folder, not a link, and the
            // tree is private to the user, so changing it by name is safe.
            if ((item.st_mode & S_IRWXU) != S_IRWXU) {
                ::fchmodat(folder.get(), name.c_str(), (item.st_mode & 07777) | S_IRWXU, 0);
            }
            const FileHandle child = OpenFolderAt(folder, name);
            if (child.valid()) {
                DeleteContents(child);
            }
            ::unlinkat(folder.get(), name.c_str(), AT_REMOVEDIR);
        } else {
            ::unlinkat(folder.get(), name.c_str(), 0);
        }
    }
}

} // namespace

bool DeleteFolderTreeSkippingDotNames(const std::string& path) {
    std::string folderPath = path;
    // A trailing separator would make the open follow a link in the last place.
    while (folderPath.size() > 1 && folderPath.back() == '/') {
        folderPath.pop_back();
    }
    if (folderPath.empty()) {
        return false;
    }
    const FileHandle folder(
        ::open(folderPath.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (!folder.valid()) {
        return false;
    }
    DeleteContents(folder);
    return ::rmdir(folderPath.c_str()) == 0;
}

} // namespace setup
