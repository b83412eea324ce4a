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
    bool isCancelRequested() override { return cancel_; }
    void closeProgressDialog() override;

    // The script.
    bool dialogFails = false;
    bool startBitmapWindowFails = false;
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
    bool dialogClosed = false;

private:
    void post(std::function<void()> task);

    std::mutex mutex_;
    std::condition_variable queued_;
    std::deque<std::function<void()>> queue_;
    bool quit_ = false;
    std::atomic<bool> cancel_ = false;
    SentMessageChannel channel_;
};

} // namespace setup::test
