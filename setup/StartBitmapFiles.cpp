#include "setup/StartBitmapFiles.h"

#include "base/Windows1252.h"
#include "setup/EntryPath.h"
#include "setup/IniFile.h"
#include "setup/NameCase.h"
#include "setup/PackageCopy.h"
#include "setup/PackageExtractor.h"
#include "setup/platform/FileHandle.h"

#include <algorithm>
#include <new>
#include <optional>

namespace setup {

namespace {

// The part of a package name after its last backslash, as a file name directly inside a
// folder; nothing when that part is empty, "." or "..", or holds a slash, any of which would
// name something other than a new file in that folder.
std::optional<std::string> LastNamePart(const std::string& name) {
    const std::string part = name.substr(name.rfind('\\') + 1);
    if (part.empty() || part == "." || part == ".." || part.find('/') != std::string::npos) {
        return std::nullopt;
    }
    return part;
}

} // namespace

StartBitmapFiles::StartBitmapFiles(SetupLog& log, SetupPlatform& platform)
    : log_(log), platform_(platform) {}

bool StartBitmapFiles::extraStartBitmap() {
    const std::string packagedFile = platform_.modulePath();
    if (packagedFile.empty()) {
        log_.log("Failed new kivCPackageExtractor, and strPackagedFile is:" + packagedFile);
        log_.log("Finish CMainWindow::ExtraStartBitmap().");
        return true;
    }
    PackageExtractor extractor(packagedFile);
    // The current folder is only checked: a bitmap named by a relative path is found there.
    if (!platform_.currentDirectory()) {
        log_.log("Can't get CurrentDirectory.");
        log_.log("Finish CMainWindow::ExtraStartBitmap().");
        return true;
    }
    const std::list<PackageEntry>& entries = extractor.getFileList();
    const std::optional<std::string> tempFolder = platform_.systemTempFolder();
    if (!tempFolder) {
        log_.log("Finish CMainWindow::ExtraStartBitmap().");
        return true;
    }

    // Without a configuration entry the name of the last entry examined is read instead, as a
    // path of this system.
    std::string configPath;
    bool configUsable = true;
    for (const PackageEntry& entry : entries) {
        if (EqualIgnoringCase(entry.name, "\\setup\\setup.ini")) {
            configPath = *tempFolder + "setup.ini";
            log_.log("Do CMainWindow::ExtractFile: " + configPath);
            // What lies at that path when the copy failed is not the package's configuration.
            configUsable = extractFile(entry, packagedFile, configPath);
            break;
        }
        configPath = PackageNameToPath(entry.name);
    }
    IniFile ini;
    if (!configUsable || !ini.load(configPath)) {
        log_.log("Can't load setup.ini:" + configPath);
        return false;
    }
    const IniSection* bitmap = ini.getSection("bitmap");
    if (bitmap == nullptr) {
        log_.log("Can't get bitmap section.");
        return false;
    }
    // Configuration values are Windows-1252 text, as the package names they are compared with.
    const std::string* configured = bitmap->getValue("Start_Bitmap");
    const std::string bitmapName = configured != nullptr ? *configured : std::string();
    bitmapPath_ = tarvik::Windows1252ToUtf8(bitmapName);

    for (const PackageEntry& entry : entries) {
        const std::optional<std::string> part = LastNamePart(entry.name);
        if (part && EqualIgnoringCase(*part, bitmapName)) {
            const std::string outputPath = *tempFolder + tarvik::Windows1252ToUtf8(*part);
            log_.log("Do CMainWindow::ExtractFile():" + outputPath);
            extractFile(entry, packagedFile, outputPath);
            bitmapPath_ = outputPath;
            break;
        }
    }
    log_.log("Finish CMainWindow::ExtraStartBitmap().");
    return true;
}

bool StartBitmapFiles::extractFile(const PackageEntry& entry, const std::string& packagedFile,
                                   const std::string& outputPath) {
    bool copied = false;
    if (entry.isFile()) {
        const FileHandle package = OpenForReading(packagedFile);
        const auto separator =
            std::find_if(outputPath.rbegin(), outputPath.rend(), IsPathSeparator);
        const std::size_t slash = separator == outputPath.rend()
                                      ? std::string::npos
                                      : static_cast<std::size_t>(outputPath.rend() - separator) - 1;
        const std::string folder =
            slash == std::string::npos ? "." : outputPath.substr(0, slash + 1);
        const std::string leaf = outputPath.substr(slash == std::string::npos ? 0 : slash + 1);
        if (!package.valid()) {
            log_.log("Can't read file: " + packagedFile);
        } else if (const FileHandle output = ReplaceFileAt(OpenFolder(folder), leaf);
                   leaf.empty() || !output.valid()) {
            log_.log("Can't read file: " + outputPath);
        } else {
            if (std::find(createdFiles_.begin(), createdFiles_.end(), outputPath) ==
                createdFiles_.end()) {
                createdFiles_.push_back(outputPath);
            }
            std::vector<char> buffer;
            try {
                buffer.resize(kCopyBufferSize);
                copied =
                    CopyPackageBytes(package, entry.dataOffset, entry.storedSize, output, buffer);
            } catch (const std::bad_alloc&) {
                log_.log("Can't NEW pBuf.");
            }
        }
    }
    log_.log("Finish CMainWindow::ExtractFile().");
    return copied;
}

void StartBitmapFiles::clearStartBitmap() {
    for (const std::string& path : createdFiles_) {
        platform_.deleteFile(path);
    }
    createdFiles_.clear();
    bitmapPath_.clear();
}

} // namespace setup
