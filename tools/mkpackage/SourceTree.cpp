#include "tools/mkpackage/SourceTree.h"

#include "base/Windows1252.h"
#include "setup/EntryPath.h"
#include "setup/NameCase.h"
#include "setup/PackageFormat.h"
#include "tools/mkpackage/PackageError.h"

#include <algorithm>
#include <map>
#include <system_error>

namespace mkpackage {

namespace fs = std::filesystem;

namespace {

// The leaf name of a folder item in Windows-1252.
std::string PackageLeafName(const fs::path& child) {
    const std::string leaf = child.filename().string();
    const tarvik::Windows1252Text text = tarvik::Utf8ToWindows1252(leaf);
    if (!text.ok()) {
        throw PackageError(tarvik::RefusedCharacterMessage(*text.refused) + " (in the name " +
                           child.string() + ")");
    }
    if (text.text.find('\\') != std::string::npos) {
        throw PackageError("a package cannot hold a name with a backslash: " + child.string());
    }
    return text.text;
}

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
        SourceItem item{prefix + "\\" + PackageLeafName(child), child, false, 0};
        if (item.name.size() + 1 > setup::kMaxNameLength) {
            throw PackageError("name longer than 258 characters: " + child.string());
        }
        // setup refuses to extract a name it reads as leaving its folder (a leading "X:" is
        // a drive there), which would break the whole installation at that entry.
        if (!setup::EntryPathComponents(item.name)) {
            throw PackageError("setup would refuse to extract the name " + child.string());
        }
        const fs::file_status status = fs::symlink_status(child, error);
        if (error) {
            throw PackageError("cannot examine " + child.string() + ": " + error.message());
        }
        if (fs::is_directory(status)) {
            items.push_back(item);
            CollectFolder(child, item.name, items);
        } else if (fs::is_regular_file(status)) {
            item.isFile = true;
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

std::string LeafOf(const std::string& name) {
    return name.substr(name.rfind('\\') + 1);
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

std::vector<std::string> PackageWarnings(const std::vector<SourceItem>& items) {
    std::vector<std::string> warnings;
    const bool hasConfiguration =
        std::any_of(items.begin(), items.end(), [](const SourceItem& item) {
            return item.isFile && setup::EqualIgnoringCase(item.name, "\\setup\\setup.ini");
        });
    if (!hasConfiguration) {
        warnings.push_back("the folder has no setup/setup.ini: setup will install nothing from "
                           "this package");
    }
    // The first spelling of every name, by its capitals.
    std::map<std::string, std::string> seen;
    for (const SourceItem& item : items) {
        const std::string shown = tarvik::Windows1252ToUtf8(item.name);
        if (LeafOf(item.name).starts_with('.')) {
            warnings.push_back(shown + " begins with \".\": setup's clean-up leaves it, and the "
                                       "temporary folder, behind");
        }
        const auto [found, added] = seen.emplace(setup::UpperWindows1252(item.name), shown);
        if (!added) {
            warnings.push_back(shown + " differs from " + found->second +
                               " only in letter case: setup writes one over the other");
        }
    }
    return warnings;
}

} // namespace mkpackage
