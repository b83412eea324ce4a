#pragma once

// Files put in place or taken away together or not at all. New files are first written beside
// their targets; only when every one is written do they take the targets' places, the former
// files kept aside under another name until finish(). rollBack() undoes whatever was done, so
// a failure at any step leaves the files as they were.

#include "installer/FileSystem.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace installer {

class FileChanges {
public:
    // Writes the new file's content at the path it is given.
    using Producer = std::function<Status(const std::string& path)>;

    explicit FileChanges(FileSystem& files) : files_(files) {}
    FileChanges(const FileChanges&) = delete;
    FileChanges& operator=(const FileChanges&) = delete;

    // Makes the folder and the missing folders above it.
    Status makeFolders(std::string_view folder);
    // Writes the new content of target beside it; target itself is untouched until swapIn().
    Status stage(std::string_view target, const Producer& produce);
    // Takes a file away (it is kept under another name until finish()); a missing file is fine.
    Status discard(std::string_view target);
    // Puts every staged file in its target's place.
    Status swapIn();

    // Undoes every step so far, the last first.
    void rollBack();
    // Deletes the former files kept aside; gives the paths of those that could not be deleted
    // (a program still runs from them), which stay under their other names.
    std::vector<std::string> finish();

private:
    enum class StepKind { MadeFolder, Staged, MovedAside, MovedIn };
    struct Step {
        StepKind kind;
        std::string path;  // the folder, the staged file, the file moved away or in
        std::string other; // where it was moved to or from
    };

    Status moveAside(const std::string& target);

    FileSystem& files_;
    std::vector<Step> steps_;
    std::vector<std::pair<std::string, std::string>> staged_; // staged file, target
};

// The suffixes of the files kept beside a target while it changes.
inline constexpr std::string_view stagedSuffix = ".tarvik-new";
inline constexpr std::string_view asideSuffix = ".tarvik-old";

} // namespace installer
