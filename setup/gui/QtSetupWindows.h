#pragma once

#include "setup/SentMessageChannel.h"
#include "setup/SetupLog.h"
#include "setup/SetupWindows.h"
#include "setup/gui/QtProgressDialog.h"
#include "setup/gui/QtStartBitmapWindow.h"
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

    void showMessage(std::string_view text, std::string_view caption) override;
    bool createProgressDialog() override;
    bool createStartBitmapWindow() override;
    void moveDialogToCorner() override;
    void showDialog() override;
    void runMessageLoop() override;
    void destroyStartBitmapWindow() override;
    void destroyProgressDialog() override;

    void setRange(std::size_t count) override;
    void stepIt() override;
    bool isCancelRequested() override;
    void closeProgressDialog() override;

private:
    SetupLog& log_;
    SetupPlatform& platform_;
    WizardSignal& wizardSignal_;
    TestHook* hook_;
    std::unique_ptr<QtProgressDialog> dialog_;
    std::unique_ptr<QtStartBitmapWindow> startBitmapWindow_;
    SentMessageChannel channel_;
    std::atomic<std::size_t> steps_ = 0;
};

} // namespace setup::gui
