#include "setup/ExtractorThread.h"

#include "setup/kivCPackageExtractor.h"

#include <optional>

namespace setup {

int ExtractorThread(SetupWindows* lpvThreadParam, SetupLog& log, SetupPlatform& platform,
                    ExtractionState& state) {
    if (lpvThreadParam == nullptr) {
        log.Log("lpvThreadParam parameter is invalid!");
        return 1;
    }
    SetupWindows& dialog = *lpvThreadParam;
    int result = 1;
    const std::string strPackagedFile = platform.ModulePath();
    if (strPackagedFile.empty()) {
        log.Log("new kivCPackageExtractor failed and strPackagedFile is :" + strPackagedFile);
    } else {
        kivCPackageExtractor extractor(strPackagedFile);
        bool bCancelled = false;
        extractor.SetProgressProc([](std::int32_t, const std::string&) {});
        extractor.SetContinueProc([&dialog, &bCancelled] {
            dialog.StepIt();
            bCancelled = dialog.IsCancelRequested();
            return !bCancelled;
        });
        dialog.SetRange(extractor.GetCount());
        const std::optional<std::string> folder = platform.CreateTempFolder("ist");
        if (!folder) {
            log.Log("Can't create temp directory!");
        } else {
            state.strTempFolder = *folder;
            if (extractor.ExtractFile(state.strTempFolder, 3)) {
                result = 0;
                state.bExtracted = extractor.IsDirectoryComplete() && !bCancelled;
            } else {
                log.Log("Can't pExtractor->ExtractFile()!");
            }
        }
    }
    dialog.CloseProgressDialog();
    return result;
}

} // namespace setup
