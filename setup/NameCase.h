#pragma once

#include "setup/platform/FileHandle.h"

#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

// Names are matched as on the system that packages come from: without regard to letter case,
// for the letters of Windows-1252. An existing file or folder is found under any spelling of
// its name; a new one gets the name the package gives.
namespace setup {

// The capitals of Windows-1252 text: a-z, the accented small letters and the small letters of
// 9A, 9C, 9E and FF become their capitals; letters without a capital in the code page (such as
// the sharp s) stay.
std::string UpperWindows1252(std::string_view text);

// True when two Windows-1252 texts are equal apart from letter case.
bool EqualIgnoringCase(std::string_view a, std::string_view b);

// A key that two file names (UTF-8) share exactly when they are the same name apart from
// letter case. A name that Windows-1252 cannot hold shares its key with no other name.
std::string FileNameKey(std::string_view utf8Name);

// Finds names in folders regardless of letter case, listing each folder only once.
class CaseInsensitiveFolders {
public:
    // The name under which `name` exists in `folder`: `name` itself when it exists as
    // spelled, else the first name in byte order that equals it apart from letter case;
    // nothing when there is none. `folderKey` tells folders apart; the first call for a key
    // lists the folder, later calls use that listing and what Added recorded since.
    std::optional<std::string> find(const FileHandle& folder, const std::string& folderKey,
                                    const std::string& name);

    // Records that `name` was created in the folder of `folderKey`.
    void added(const std::string& folderKey, const std::string& name);

private:
    struct Listing {
        std::unordered_set<std::string> names;
        std::unordered_map<std::string, std::string> firstByKey;
    };

    std::unordered_map<std::string, Listing> folders_;
};

// The path below `base` (an existing folder) that `components` name, each component matched
// to an existing name regardless of letter case where one exists and kept as given where
// none does. Returns `base`, a '/', then the names joined by '/'.
std::string ResolvePathIgnoringCase(const std::string& base,
                                    const std::vector<std::string>& components);

} // namespace setup
