// Send to Notepad's text goes to Notepad itself on Windows.

#include "editor/shell/app/Platform.h"
#include "editor/shell/testing/GuiTestSupport.h"

#include <chrono>
#include <gtest/gtest.h>
#include <set>
#include <thread>
#include <windows.h>

// After windows.h, whose types it uses.
#include <tlhelp32.h>

namespace tarvik {
namespace {

using testing::TestFolder;

// The ids of the running processes whose program is notepad.exe.
std::set<DWORD> NotepadProcesses() {
    std::set<DWORD> found;
    const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) {
        return found;
    }
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Process32FirstW(snapshot, &entry); more;
         more = Process32NextW(snapshot, &entry)) {
        if (_wcsicmp(entry.szExeFile, L"notepad.exe") == 0) {
            found.insert(entry.th32ProcessID);
        }
    }
    CloseHandle(snapshot);
    return found;
}

TEST(TextEditorTest, TheTextOpensInNotepad) {
    const TestFolder folder;
    const QString text = folder.Write(QStringLiteral("tarvik.txt"), "Tarvik\r\n");
    const std::set<DWORD> before = NotepadProcesses();

    ASSERT_TRUE(OpenInTextEditor(text));

    std::set<DWORD> started;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (started.empty() && std::chrono::steady_clock::now() < deadline) {
        for (const DWORD id : NotepadProcesses()) {
            if (!before.contains(id)) {
                started.insert(id);
            }
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    EXPECT_EQ(started.size(), 1u);
    for (const DWORD id : started) {
        if (const HANDLE process = OpenProcess(PROCESS_TERMINATE, FALSE, id)) {
            TerminateProcess(process, 0);
            CloseHandle(process);
        }
    }
}

} // namespace
} // namespace tarvik
