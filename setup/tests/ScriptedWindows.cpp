#include "setup/tests/ScriptedWindows.h"

#include <utility>

namespace setup::test {

ScriptedWindows::ScriptedWindows()
    : channel_([this](std::function<void()> task) { post(std::move(task)); }) {}

void ScriptedWindows::post(std::function<void()> task) {
    const std::lock_guard lock(mutex_);
    queue_.push_back(std::move(task));
    queued_.notify_one();
}

void ScriptedWindows::showMessage(std::string_view text, std::string_view caption) {
    calls.push_back("ShowMessage " + std::string(caption) + ": " + std::string(text));
}

bool ScriptedWindows::createProgressDialog() {
    calls.push_back("CreateProgressDialog");
    return !dialogFails;
}

bool ScriptedWindows::createStartBitmapWindow() {
    calls.push_back("CreateMainWindow");
    return !startBitmapWindowFails;
}

void ScriptedWindows::moveDialogToCorner() {
    calls.push_back("MoveDialogToCorner");
}

void ScriptedWindows::showDialog() {
    calls.push_back("ShowDialog");
}

void ScriptedWindows::runMessageLoop() {
    calls.push_back("RunMessageLoop");
    for (;;) {
        std::function<void()> task;
        {
            std::unique_lock lock(mutex_);
            if (quit_) {
                break;
            }
            queued_.wait(lock, [this] { return !queue_.empty(); });
            task = std::move(queue_.front());
            queue_.pop_front();
        }
        task();
    }
    channel_.loopEnded();
}

void ScriptedWindows::destroyStartBitmapWindow() {
    calls.push_back("DestroyMainWindow");
}

void ScriptedWindows::destroyProgressDialog() {
    calls.push_back("DestroyProgressDialog");
}

void ScriptedWindows::setRange(std::size_t count) {
    channel_.send([this, count] { range = count; });
}

void ScriptedWindows::stepIt() {
    const std::size_t step = ++stepsAsked;
    channel_.send([this, step] {
        ++stepsShown;
        if (step == cancelAtStep) {
            cancel_ = true;
        }
        if (step == quitAtStep) {
            const std::lock_guard lock(mutex_);
            quit_ = true;
        }
    });
    if (afterStep) {
        afterStep(step);
    }
}

void ScriptedWindows::closeProgressDialog() {
    channel_.send([this] {
        dialogClosed = true;
        const std::lock_guard lock(mutex_);
        quit_ = true;
    });
}

} // namespace setup::test
