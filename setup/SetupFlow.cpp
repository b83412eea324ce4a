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
    : m_log(log), m_platform(platform), m_windows(windows) {}

int SetupFlow::Run(std::string_view commandLine, std::size_t programPathLength) {
    if (m_log.IsOldNtSystem()) {
        m_windows.ShowMessage("Win NT not supported.", "Information");
        return 1;
    }
    const Switches switches = ReadSwitches(commandLine, programPathLength);
    m_log.SetLogOn(switches.bLogOn);
    m_log.Log(kStartBanner);

    m_log.Log("Do kivCDlgProg::Create().");
    if (!m_windows.CreateProgressDialog()) {
        m_log.Log("Error: Can't create progress window!");
        m_windows.DestroyProgressDialog();
        return 1;
    }
    if (!switches.bSilent) {
        m_log.Log("Do pMainWnd->Create().");
        if (!m_windows.CreateMainWindow()) {
            // Nothing more is logged; what the window extracted to show is deleted again.
            m_windows.DestroyMainWindow();
            m_windows.DestroyProgressDialog();
            return 1;
        }
    }
    m_log.Log(" Do kivCDlgProg::MoveWindowToCorner().");
    m_windows.MoveDialogToCorner();
    if (!switches.bSilent) {
        m_windows.ShowDialog();
    }

    m_log.Log(" Create extractor thead, and begin to exactor package.");
    ExtractionState state;
    std::optional<std::thread> worker;
    try {
        worker.emplace([this, &state] { ExtractorThread(&m_windows, m_log, m_platform, state); });
    } catch (const std::system_error&) {
        // Without a worker nothing would ever end the loop; the run goes on with nothing
        // extracted.
    }
    if (worker) {
        m_windows.RunMessageLoop();
    }
    m_log.Log("Extractor thread finish and begin to start real setup applicatin:");
    if (worker) {
        worker->join();
    }

    m_log.Log("Clear start bitmap:");
    if (!switches.bSilent) {
        m_windows.DestroyMainWindow();
    }
    const bool bAllStarted = RunRealSetups(state.strTempFolder, switches.strArgumentTail);

    if (const std::optional<std::string> systemTemp = m_platform.SystemTempFolder()) {
        m_platform.DeleteFile(*systemTemp + "setup.exe");
    }
    m_log.Log("Delete the setup in Temp folder.");
    if (!state.strTempFolder.empty()) {
        m_platform.DeleteFolderTree(state.strTempFolder);
    }
    m_log.Log("Delete Temp folder.");
    m_log.Log(kFinishBanner);
    m_windows.DestroyProgressDialog();
    return state.bExtracted && bAllStarted ? 0 : 1;
}

bool SetupFlow::RunRealSetups(const std::string& strTempFolder,
                              const std::string& strArgumentTail) {
    if (strTempFolder.empty()) {
        // Without a temporary folder the configuration path would be relative to the current
        // folder, and so would every program: whatever lies there would run. Nothing is read.
        m_log.Log("Can't load setup.ini: setup/setup.ini");
        return false;
    }
    const std::string configPath = ResolvePathIgnoringCase(strTempFolder, {"setup", "setup.ini"});
    IniFile ini;
    if (!ini.Load(configPath)) {
        m_log.Log("Can't load setup.ini: " + configPath);
        return false;
    }
    const IniSection* startup = ini.GetSection("startup");
    if (startup == nullptr) {
        m_log.Log("Can't get startup section.");
        return false;
    }
    bool bAllStarted = true;
    for (const auto& [key, value] : *startup) {
        // Configuration values are Windows-1252 text.
        bAllStarted =
            RunRealSetup(strTempFolder, tarvik::Windows1252ToUtf8(value), strArgumentTail) &&
            bAllStarted;
    }
    return bAllStarted;
}

bool SetupFlow::RunRealSetup(const std::string& strTempFolder, const std::string& value,
                             const std::string& strArgumentTail) {
    // The command line is the value followed directly by the tail; its first word names the
    // program inside the package's "setup" folder. The folder's own path is put in front of
    // that word only, so that a temporary folder whose path holds a blank still works.
    const std::vector<std::string> words = SplitCommandWords(value + strArgumentTail);
    m_log.Log("Call real setup application.");
    std::optional<ProcessId> process;
    if (!words.empty()) {
        const ProcessCommand command{
            ResolvePathIgnoringCase(strTempFolder, ProgramPathComponents(words.front())),
            std::vector<std::string>(words.begin() + 1, words.end())};
        process = m_platform.StartProcess(command);
    }
    if (!process) {
        m_log.Log("Error : Create installer process failed:" + value);
        return false;
    }
    // Written before the wait; the log stamps a line when the next one arrives, so this one
    // carries the time the program ended.
    m_log.Log("The real setup application process finished.");
    m_platform.WaitForProcess(*process);
    return true;
}

} // namespace setup
