#include "setup/SetupFlow.h"

#include "base/Windows1252.h"
#include "setup/CommandWords.h"
#include "setup/ExtractorThread.h"
#include "setup/IniFile.h"
#include "setup/NameCase.h"

#include <optional>
#include <system_error>
#include <thread>
#include <vector>

namespace setup {

namespace {

constexpr std::string_view kStartBanner =
    "<========================= Start log setup process ===================================>";
constexpr std::string_view kFinishBanner =
    "<=========================================== Finish all log "
    "===============================================>";

// The folder names of a program named relative to the package's "setup" folder.
std::vector<std::string> ProgramPathComponents(const std::string& program) {
    std::vector<std::string> components = {"setup"};
    std::string component;
    for (const char c : program + '\\') {
        if (c != '\\' && c != '/') {
            component += c;
        } else if (!component.empty()) {
            components.push_back(std::move(component));
            component.clear();
        }
    }
    return components;
}

} // namespace

SetupFlow::SetupFlow(SetupLog& log, SetupPlatform& platform, SetupWindows& windows)
    : log_(log), platform_(platform), windows_(windows) {}

int SetupFlow::run(std::string_view commandLine, std::size_t programPathLength) {
    if (log_.isOldNtSystem()) {
        windows_.showMessage("Win NT not supported.", "Information");
        return 1;
    }
    const Switches switches = ReadSwitches(commandLine, programPathLength);
    log_.setLogOn(switches.logOn);
    log_.log(kStartBanner);

    log_.log("Do kivCDlgProg::Create().");
    if (!windows_.createProgressDialog()) {
        log_.log("Error: Can't create progress window!");
        windows_.destroyProgressDialog();
        return 1;
    }
    if (!switches.silent) {
        log_.log("Do pMainWnd->Create().");
        if (!windows_.createStartBitmapWindow()) {
            // Nothing more is logged; what the window extracted to show is deleted again.
            windows_.destroyStartBitmapWindow();
            windows_.destroyProgressDialog();
            return 1;
        }
    }
    log_.log(" Do kivCDlgProg::MoveWindowToCorner().");
    windows_.moveDialogToCorner();
    if (!switches.silent) {
        windows_.showDialog();
    }

    log_.log(" Create extractor thead, and begin to exactor package.");
    ExtractionState state;
    std::optional<std::thread> worker;
    try {
        worker.emplace([this, &state] { ExtractorThread(&windows_, log_, platform_, state); });
    } catch (const std::system_error&) {
        // Without a worker nothing would ever end the loop; the run goes on with nothing
        // extracted.
    }
    if (worker) {
        windows_.runMessageLoop();
    }
    log_.log("Extractor thread finish and begin to start real setup applicatin:");
    if (worker) {
        worker->join();
    }

    log_.log("Clear start bitmap:");
    if (!switches.silent) {
        windows_.destroyStartBitmapWindow();
    }
    const bool allStarted = runRealSetups(state.tempFolder, switches.argumentTail);

    if (const std::optional<std::string> systemTemp = platform_.systemTempFolder()) {
        platform_.deleteFile(*systemTemp + "setup.exe");
    }
    log_.log("Delete the setup in Temp folder.");
    if (!state.tempFolder.empty()) {
        platform_.deleteFolderTree(state.tempFolder);
    }
    log_.log("Delete Temp folder.");
    log_.log(kFinishBanner);
    windows_.destroyProgressDialog();
    return state.extracted && allStarted ? 0 : 1;
}

bool SetupFlow::runRealSetups(const std::string& tempFolder, const std::string& argumentTail) {
    if (tempFolder.empty()) {
        // Without a temporary folder the configuration path would be relative to the current
        // folder, and so would every program: whatever lies there would run. Nothing is read.
        log_.log("Can't load setup.ini: setup/setup.ini");
        return false;
    }
    const std::string configPath = ResolvePathIgnoringCase(tempFolder, {"setup", "setup.ini"});
    IniFile ini;
    if (!ini.load(configPath)) {
        log_.log("Can't load setup.ini: " + configPath);
        return false;
    }
    const IniSection* startup = ini.getSection("startup");
    if (startup == nullptr) {
        log_.log("Can't get startup section.");
        return false;
    }
    bool allStarted = true;
    for (const auto& [key, value] : *startup) {
        // Configuration values are Windows-1252 text.
        allStarted =
            runRealSetup(tempFolder, tarvik::Windows1252ToUtf8(value), argumentTail) && allStarted;
    }
    return allStarted;
}

bool SetupFlow::runRealSetup(const std::string& tempFolder, const std::string& value,
                             const std::string& argumentTail) {
    // The command line is the value followed directly by the tail; its first word names the
    // program inside the package's "setup" folder. The folder's own path is put in front of
    // that word only, so that a temporary folder whose path holds a blank still works.
    const std::vector<std::string> words = SplitCommandWords(value + argumentTail);
    log_.log("Call real setup application.");
    std::optional<ProcessId> process;
    if (!words.empty()) {
        const ProcessCommand command{
            ResolvePathIgnoringCase(tempFolder, ProgramPathComponents(words.front())),
            std::vector<std::string>(words.begin() + 1, words.end())};
        process = platform_.startProcess(command);
    }
    if (!process) {
        log_.log("Error : Create installer process failed:" + value);
        return false;
    }
    // Written before the wait; the log stamps a line when the next one arrives, so this one
    // carries the time the program ended.
    log_.log("The real setup application process finished.");
    platform_.waitForProcess(*process);
    return true;
}

} // namespace setup
