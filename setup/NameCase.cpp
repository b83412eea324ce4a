#include "setup/NameCase.h"

#include "base/Windows1252.h"

#include <algorithm>

namespace setup {

namespace {

unsigned char UpperByte(unsigned char byte) {
    if (byte >= 'a' && byte <= 'z') {
        return static_cast<unsigned char>(byte - 0x20);
    }
    switch (byte) {
    case 0x9A: // s caron
    case 0x9C: // oe
    case 0x9E: // z caron
        return static_cast<unsigned char>(byte - 0x10);
    case 0xFF: // y diaeresis
        return 0x9F;
    case 0xF7: // division sign, not a letter
        return byte;
    default:
        break;
    }
    if (byte >= 0xE0 && byte <= 0xFE) {
        return static_cast<unsigned char>(byte - 0x20);
    }
    return byte;
}

} // namespace

std::string UpperWindows1252(std::string_view text) {
    std::string upper(text);
    for (char& c : upper) {
        c = static_cast<char>(UpperByte(static_cast<unsigned char>(c)));
    }
    return upper;
}

bool EqualIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && UpperWindows1252(a) == UpperWindows1252(b);
}

std::string FileNameKey(std::string_view utf8Name) {
    const tarvik::Windows1252Text text = tarvik::Utf8ToWindows1252(utf8Name);
    if (!text.ok()) {
        return "=" + std::string(utf8Name);
    }
    return "~" + UpperWindows1252(text.text);
}

std::optional<std::string> CaseInsensitiveFolders::find(const FileHandle& folder,
                                                        const std::string& folderKey,
                                                        const std::string& name) {
    auto found = folders_.find(folderKey);
    if (found == folders_.end()) {
        std::vector<std::string> names = ListFolderNames(folder);
        std::sort(names.begin(), names.end());
        Listing listing;
        for (std::string& existing : names) {
            listing.firstByKey.try_emplace(FileNameKey(existing), existing);
            listing.names.insert(std::move(existing));
        }
        found = folders_.emplace(folderKey, std::move(listing)).first;
    }
    const Listing& listing = found->second;
    if (listing.names.contains(name)) {
        return name;
    }
    const auto match = listing.firstByKey.find(FileNameKey(name));
    if (match == listing.firstByKey.end()) {
        return std::nullopt;
    }
    return match->second;
}

void CaseInsensitiveFolders::added(const std::string& folderKey, const std::string& name) {
    const auto found = folders_.find(folderKey);
    if (found != folders_.end()) {
        found->second.firstByKey.try_emplace(FileNameKey(name), name);
        found->second.names.insert(name);
    }
}

std::string ResolvePathIgnoringCase(const std::string& base,
                                    const std::vector<std::string>& components) {
    std::string path = base;
    if (path.empty() || path.back() != '/') {
        path += '/';
    }
    CaseInsensitiveFolders folders;
    FileHandle folder = OpenFolder(base);
    std::string folderKey;
    for (std::size_t i = 0; i < components.size(); ++i) {
        std::string name = components[i];
        if (folder.valid()) {
            name = folders.find(folder, folderKey, name).value_or(name);
            folder = i + 1 < components.size() ? OpenFolderAt(folder, name) : FileHandle();
            folderKey += '/' + name;
        }
        path += name;
        if (i + 1 < components.size()) {
            path += '/';
        }
    }
    return path;
}

} // namespace setup
