#pragma once

#include "setup/SetupLog.h"
#include "setup/SetupWindows.h"
#include "setup/platform/SetupPlatform.h"

#include <string>

namespace setup {

// What the extractor thread leaves for the main thread, which reads it only after the thread
// has ended.
struct ExtractionState {
    // The temporary folder, ending in '/'; empty when it could not be created.
    std::string tempFolder;
    // Whether the whole package was read and extracted, without a cancel.
    bool extracted = false;
};

// The extractor thread: reads the package appended to the program's own file, creates the
// temporary folder and extracts everything into it, stepping the progress dialog after every
// entry and stopping after the current entry when Cancel was pressed. Finally it asks the
// dialog to close, which ends the main thread's message loop. Returns 0 when ExtractFile
// succeeded, 1 otherwise.
int ExtractorThread(SetupWindows* windows, SetupLog& log, SetupPlatform& platform,
                    ExtractionState& state);

} // namespace setup
