#pragma once

#include "setup/SentMessageChannel.h"
#include "setup/SetupWindows.h"

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

namespace setup::test {

// Windows for a run's tests: a message loop of its own that serves the extractor thread's
// requests through a real SentMessageChannel, and a script of what the user does.
class ScriptedWindows : public SetupWindows {
public:
    ScriptedWindows();

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
    bool IsCancelRequested() override { return m_bCancel; }
    void CloseProgressDialog() override;

    // The script.
    bool bDialogFails = false;
    bool bMainWindowFails = false;
    // At this step the user presses Cancel, or the loop gets a quit message (as from the
    // start-bitmap window); 0 for never.
    std::size_t cancelAtStep = 0;
    std::size_t quitAtStep = 0;
    // Run on the extractor thread after every step.
    std::function<void(std::size_t)> afterStep;

    // What happened: the main thread's calls in order, the range, the steps the dialog saw
    // and the steps asked for after the loop had ended.
    std::vector<std::string> calls;
    std::size_t range = 0;
    std::size_t stepsShown = 0;
    std::atomic<std::size_t> stepsAsked = 0;
    bool bDialogClosed = false;

private:
    void Post(std::function<void()> task);

    std::mutex m_mutex;
    std::condition_variable m_queued;
    std::deque<std::function<void()>> m_queue;
    bool m_bQuit = false;
    std::atomic<bool> m_bCancel = false;
    SentMessageChannel m_channel;
};

} // namespace setup::test
