// setup.exe, the self-extracting installer stub ("Build-in Package Extractor", version
// 1.0.3.305) for Windows: its package is appended to this program's own file.

#include "setup/SetupFlow.h"
#include "setup/SetupLog.h"
#include "setup/WindowsCommandLine.h"
#include "setup/platform/Win32SetupPlatform.h"
#include "setup/platform/Win32Text.h"
#include "setup/win32/Win32SetupWindows.h"
#include "setup/win32/Win32TestHook.h"

#include <commctrl.h>
#include <windows.h>

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE /*previous*/, PWSTR /*arguments*/, int /*show*/) {
    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof controls;
    controls.dwICC = ICC_PROGRESS_CLASS;
    ::InitCommonControlsEx(&controls);

    // The whole command line, as the system keeps it: the program's word first, then the
    // switches and the tail that setup passes on.
    const std::string commandLine = setup::Utf8FromWide(::GetCommandLineW());
    const std::unique_ptr<setup::win32::Win32TestHook> hook =
        setup::win32::Win32TestHook::FromEnvironment();
    setup::Win32SetupPlatform platform;
    setup::SetupLog& log = setup::SetupLog::instance();
    setup::win32::Win32SetupWindows windows(log, platform, instance, hook.get());
    setup::SetupFlow flow(log, platform, windows);
    return flow.run(commandLine, setup::ProgramWordLength(commandLine));
}
