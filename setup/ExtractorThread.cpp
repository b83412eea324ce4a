#include "setup/ExtractorThread.h"

#include "setup/PackageExtractor.h"

#include <optional>

namespace setup {

int ExtractorThread(SetupWindows* windows, SetupLog& log, SetupPlatform& platform,
                    ExtractionState& state) {
    if (windows == nullptr) {
        log.log("lpvThreadParam parameter is invalid!");
        return 1;
    }
    SetupWindows& dialog = *windows;
    int result = 1;
    const std::string packagedFile = platform.modulePath();
    if (packagedFile.empty()) {
        log.log("new kivCPackageExtractor failed and strPackagedFile is :" + packagedFile);
    } else {
        PackageExtractor extractor(packagedFile);
        bool cancelled = false;
        extractor.setProgressProc([](std::int32_t, const std::string&) {});
        extractor.setContinueProc([&dialog, &cancelled] {
            dialog.stepIt();
            cancelled = dialog.isCancelRequested();
            return !cancelled;
        });
        dialog.setRange(extractor.getCount());
        const std::optional<std::string> folder = platform.createTempFolder("ist");
        if (!folder) {
            log.log("Can't create temp directory!");
        } else {
            state.tempFolder = *folder;
            if (extractor.extractFile(state.tempFolder, 3)) {
                result = 0;
                state.extracted = extractor.isDirectoryComplete() && !cancelled;
            } else {
                log.log("Can't pExtractor->ExtractFile()!");
            }
        }
    }
    dialog.closeProgressDialog();
    return result;
}

} // namespace setup
