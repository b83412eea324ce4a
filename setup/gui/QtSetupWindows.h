#pragma once

#include "setup/SentMessageChannel.h"
#include "setup/SetupLog.h"
#include "setup/SetupWindows.h"
#include "setup/gui/CMainWindow.h"
#include "setup/gui/kivCDlgProg.h"
#include "setup/platform/SetupPlatform.h"

#include <atomic>
#include <cstddef>
#include <memory>

namespace setup::gui {

class TestHook;
class WizardSignal;

// setup's windows in Qt: the run's requests from the extractor thread become queued calls on
// the main thread, waited for until the message loop has ended (SentMessageChannel).
class QtSetupWindows : public SetupWindows {
public:
    // `hook` may be null (it is, unless a test asks for it).
    QtSetupWindows(SetupLog& log, SetupPlatform& platform, WizardSignal& wizardSignal,
                   TestHook* hook);
    ~QtSetupWindows() override;

    void ShowMessage(std::string_view text, std::string_view caption) override;
    bool CreateProgressDialog() override;
    bool CreateMainWindow() override;
    void MoveDialogToCorner() override;
    void ShowDialog() override;
    void RunMessageLoop() override;
    void DestroyMainWindow() override;
    void DestroyProgressDialog() override;

    void SetRange(std::size_t count) override;
    void StepIt() override;
    bool IsCancelRequested() override;
    void CloseProgressDialog() override;

private:
    SetupLog& m_log;
    SetupPlatform& m_platform;
    WizardSignal& m_wizardSignal;
    TestHook* m_pHook;
    std::unique_ptr<kivCDlgProg> m_pDialog;
    std::unique_ptr<CMainWindow> m_pMainWnd;
    SentMessageChannel m_channel;
    std::atomic<std::size_t> m_steps = 0;
};

} // namespace setup::gui
