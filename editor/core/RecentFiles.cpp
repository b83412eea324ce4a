#include "editor/core/RecentFiles.h"

#include <algorithm>

namespace tarvik {

std::vector<std::string> WithRecentFile(std::vector<std::string> files, std::string_view path) {
    if (path.empty()) {
        return files;
    }
    files = WithoutRecentFile(std::move(files), path);
    files.insert(files.begin(), std::string(path));
    if (files.size() > kRecentFileCount) {
        files.resize(kRecentFileCount);
    }
    return files;
}

std::vector<std::string> WithoutRecentFile(std::vector<std::string> files, std::string_view path) {
    std::erase_if(files, [path](const std::string& file) { return file.empty() || file == path; });
    return files;
}

} // namespace tarvik
