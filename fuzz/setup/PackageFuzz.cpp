// Packages: any bytes appended to a stub are extracted into a folder that sits inside a
// sentinel folder, with symbolic links planted in it that lead out (to the sentinel, to a
// folder beside the target, to a file beside it, to a name that does not exist yet).
// Whatever the package says:
// - nothing outside the target folder is written, created, removed or changed;
// - a package that does not load leaves the target folder as it was;
// - after a successful extraction every file entry that no other entry shares a name with
//   holds exactly its stored bytes, and every folder entry is a real folder.
#include "base/Windows1252.h"
#include "fuzz/FuzzCheck.h"
#include "fuzz/setup/FuzzFile.h"
#include "setup/EntryPath.h"
#include "setup/NameCase.h"
#include "setup/PackageExtractor.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <sys/stat.h>
#include <vector>

namespace {

namespace fs = std::filesystem;
using tarvik::fuzz::Check;

// What a walk sees of one name: its kind, its mode, and its bytes or the text of its link.
struct Seen {
    char kind = '?';
    mode_t mode = 0;
    std::string content;
    bool operator==(const Seen&) const = default;
};
using Tree = std::map<std::string, Seen>;

std::string ReadWhole(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Everything below root, without following links; the subtree `skip` is left out.
Tree Walk(const fs::path& root, const std::optional<fs::path>& skip = std::nullopt) {
    Tree tree;
    std::vector<fs::path> folders{root};
    while (!folders.empty()) {
        const fs::path folder = folders.back();
        folders.pop_back();
        for (const auto& entry : fs::directory_iterator(folder)) {
            const fs::path& path = entry.path();
            if (skip && path == *skip) {
                continue;
            }
            struct stat info {};
            Check(::lstat(path.c_str(), &info) == 0, "a walked name can be looked at");
            Seen seen;
            seen.mode = info.st_mode;
            if (S_ISLNK(info.st_mode)) {
                seen.kind = 'l';
                seen.content = fs::read_symlink(path).string();
            } else if (S_ISDIR(info.st_mode)) {
                seen.kind = 'd';
                folders.push_back(path);
            } else if (S_ISREG(info.st_mode)) {
                seen.kind = 'f';
                seen.content = ReadWhole(path);
            }
            tree[path.lexically_relative(root).string()] = seen;
        }
    }
    return tree;
}

// The sentinel folder with the package, a file and a folder beside the target, and the
// target with links planted in it.
struct Scene {
    fs::path sentinel = tarvik::fuzz::ScratchFolder() / "sentinel";
    fs::path target = sentinel / "target";
    fs::path package = sentinel / "package.bin";

    explicit Scene(std::string_view bytes) {
        std::error_code ignored;
        fs::remove_all(sentinel, ignored);
        fs::create_directories(target / "sub");
        fs::create_directory(sentinel / "elsewhere");
        tarvik::fuzz::WriteWholeFile(sentinel / "outside.txt", "outside");
        tarvik::fuzz::WriteWholeFile(package, bytes);
        fs::create_directory_symlink("..", target / "up");
        fs::create_directory_symlink(sentinel / "elsewhere", target / "abs");
        fs::create_symlink("../outside.txt", target / "file-link");
        fs::create_symlink("../made-by-package", target / "dangling");
        fs::create_directory_symlink("../../elsewhere", target / "sub" / "back");
    }
};

std::string Bytes(std::string_view package, std::uint32_t offset, std::uint32_t size) {
    return offset < package.size() ? std::string(package.substr(offset, size)) : std::string();
}

// The entry's place below the target, matched regardless of letter case as the extractor
// matches names; nothing for a name that leads outside.
std::optional<std::vector<std::string>> Components(const std::string& name) {
    auto components = setup::EntryPathComponents(name);
    if (components) {
        for (auto& component : *components) {
            component = tarvik::Windows1252ToUtf8(component);
        }
    }
    return components;
}

std::string CaseKey(const std::vector<std::string>& components) {
    std::string key;
    for (const auto& component : components) {
        key += setup::FileNameKey(component) + '/';
    }
    return key;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const Scene scene(bytes);
    const Tree outsideBefore = Walk(scene.sentinel, scene.target);
    const Tree targetBefore = Walk(scene.target);

    setup::PackageExtractor extractor(scene.package.string());
    const bool loaded = extractor.loadDirectory();
    const std::list<setup::PackageEntry> entries = extractor.getFileList();
    const bool extracted = extractor.extractFile(scene.target.string(), 3);

    Check(Walk(scene.sentinel, scene.target) == outsideBefore,
          "nothing outside the target folder changes");
    if (!loaded && entries.empty()) {
        Check(!extracted, "a package that does not load extracts nothing");
        Check(Walk(scene.target) == targetBefore, "a refused package leaves the target as it was");
    }
    if (loaded) {
        Check(entries.size() == extractor.getHeader().entryCount,
              "a load reads every record the header announces");
    }
    if (!extracted) {
        return 0;
    }

    // How many entries land on each place, and which places hold others below them.
    std::map<std::string, int> landings;
    std::set<std::string> holdOthers;
    for (const auto& entry : entries) {
        const auto components = Components(entry.name);
        Check(components.has_value(), "an extracted name stays inside the target");
        landings[CaseKey(*components)]++;
        for (std::size_t n = 1; n < components->size(); ++n) {
            holdOthers.insert(CaseKey({components->begin(), components->begin() + n}));
        }
    }
    for (const auto& entry : entries) {
        const auto components = Components(entry.name);
        const std::string key = CaseKey(*components);
        if (components->empty() || landings[key] > 1 || holdOthers.contains(key)) {
            continue;
        }
        const fs::path path = setup::ResolvePathIgnoringCase(scene.target.string(), *components);
        const auto status = fs::symlink_status(path);
        if (entry.isFile()) {
            Check(fs::is_regular_file(status), "a file entry becomes a regular file");
            Check(ReadWhole(path) == Bytes(bytes, entry.dataOffset, entry.storedSize),
                  "a file holds exactly its stored bytes");
        } else {
            Check(fs::is_directory(status) || fs::is_symlink(status),
                  "a folder entry becomes a folder, or finds one");
        }
    }
    return 0;
}
