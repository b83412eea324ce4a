#include "SourceTree.h"

#include "EntryPath.h"
#include "PackageError.h"
#include "PackageFormat.h"

#include <algorithm>
#include <system_error>

namespace mkpackage {

namespace fs = std::filesystem;

namespace {

void CollectFolder(const fs::path& folder, const std::string& prefix,
                   std::vector<SourceItem>& items) {
    std::error_code error;
    std::vector<fs::path> children;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        children.push_back(it->path());
    }
    if (error) {
        throw PackageError("cannot read folder " + folder.string() + ": " + error.message());
    }
    std::sort(children.begin(), children.end(), [](const fs::path& a, const fs::path& b) {
        return a.filename().string() < b.filename().string();
    });
    for (const fs::path& child : children) {
        const std::string leaf = child.filename().string();
        if (leaf.find('\\') != std::string::npos) {
            throw PackageError("a package cannot hold a name with a backslash: " + child.string());
        }
        SourceItem item{prefix + "\\" + leaf, child, false, 0};
        if (item.strName.size() + 1 > setup::kMaxNameLength) {
            throw PackageError("name longer than 258 characters: " + item.strName);
        }
        // setup refuses to extract a name it reads as leaving its folder (a leading "X:" is
        // a drive there), which would break the whole installation at that entry.
        if (!setup::EntryPathComponents(item.strName)) {
            throw PackageError("setup would refuse to extract the name " + item.strName);
        }
        const fs::file_status status = fs::symlink_status(child, error);
        if (error) {
            throw PackageError("cannot examine " + child.string() + ": " + error.message());
        }
        if (fs::is_directory(status)) {
            items.push_back(item);
            CollectFolder(child, item.strName, items);
        } else if (fs::is_regular_file(status)) {
            item.bFile = true;
            item.size = fs::file_size(child, error);
            if (error) {
                throw PackageError("cannot examine " + child.string() + ": " + error.message());
            }
            items.push_back(item);
        } else {
            throw PackageError("a package holds only files and folders: " + child.string());
        }
    }
}

} // namespace

std::vector<SourceItem> CollectSourceTree(const fs::path& folder) {
    std::error_code error;
    if (!fs::is_directory(folder, error)) {
        throw PackageError("not a folder: " + folder.string());
    }
    std::vector<SourceItem> items;
    CollectFolder(folder, "", items);
    return items;
}

} // namespace mkpackage
