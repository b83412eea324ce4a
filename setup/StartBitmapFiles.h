#pragma once

#include "setup/PackageFormat.h"
#include "setup/SetupLog.h"
#include "setup/platform/SetupPlatform.h"

#include <string>
#include <vector>

namespace setup {

// What the start-bitmap window does with files before it can show anything: it picks the
// configuration and the start bitmap out of the package into the system temporary folder,
// and deletes them again afterwards. Logs every step; shows nothing.
class StartBitmapFiles {
public:
    StartBitmapFiles(SetupLog& log, SetupPlatform& platform);

    // Extracts "\setup\setup.ini" (matched regardless of letter case) into the system
    // temporary folder, reads the bitmap's name from its section "bitmap" and extracts the
    // first entry whose last name part matches it, regardless of letter case. False when the
    // configuration cannot be loaded or has no section "bitmap"; true otherwise, also when no
    // bitmap was found (the bitmap path is then the configured name as written).
    bool extraStartBitmap();

    // Copies one file entry of the package in packagedFile to outputPath, on its own
    // handles, through the extractor's copy loop. False for a folder entry and on any failure.
    bool extractFile(const PackageEntry& entry, const std::string& packagedFile,
                     const std::string& outputPath);

    // Deletes the files that ExtractFile created (only those: a configured bitmap path that
    // matched no entry is some other file) and empties the bitmap path.
    void clearStartBitmap();

    // The file the window shows: an extracted bitmap, the configured name, or empty.
    const std::string& bitmapPath() const { return bitmapPath_; }

private:
    SetupLog& log_;
    SetupPlatform& platform_;
    std::string bitmapPath_;
    std::vector<std::string> createdFiles_;
};

} // namespace setup
