#include "setup/tests/ScriptedWindows.h"

#include <utility>

namespace setup::test {

ScriptedWindows::ScriptedWindows()
    : m_channel([this](std::function<void()> task) { Post(std::move(task)); }) {}

void ScriptedWindows::Post(std::function<void()> task) {
    const std::lock_guard lock(m_mutex);
    m_queue.push_back(std::move(task));
    m_queued.notify_one();
}

void ScriptedWindows::ShowMessage(std::string_view text, std::string_view caption) {
    calls.push_back("ShowMessage " + std::string(caption) + ": " + std::string(text));
}

bool ScriptedWindows::CreateProgressDialog() {
    calls.push_back("CreateProgressDialog");
    return !bDialogFails;
}

bool ScriptedWindows::CreateMainWindow() {
    calls.push_back("CreateMainWindow");
    return !bMainWindowFails;
}

void ScriptedWindows::MoveDialogToCorner() {
    calls.push_back("MoveDialogToCorner");
}

void ScriptedWindows::ShowDialog() {
    calls.push_back("ShowDialog");
}

void ScriptedWindows::RunMessageLoop() {
    calls.push_back("RunMessageLoop");
    for (;;) {
        std::function<void()> task;
        {
            std::unique_lock lock(m_mutex);
            if (m_bQuit) {
                break;
            }
            m_queued.wait(lock, [this] { return !m_queue.empty(); });
            task = std::move(m_queue.front());
            m_queue.pop_front();
        }
        task();
    }
    m_channel.LoopEnded();
}

void ScriptedWindows::DestroyMainWindow() {
    calls.push_back("DestroyMainWindow");
}

void ScriptedWindows::DestroyProgressDialog() {
    calls.push_back("DestroyProgressDialog");
}

void ScriptedWindows::SetRange(std::size_t count) {
    m_channel.Send([this, count] { range = count; });
}

void ScriptedWindows::StepIt() {
    const std::size_t step = ++stepsAsked;
    m_channel.Send([this, step] {
        ++stepsShown;
        if (step == cancelAtStep) {
            m_bCancel = true;
        }
        if (step == quitAtStep) {
            const std::lock_guard lock(m_mutex);
            m_bQuit = true;
        }
    });
    if (afterStep) {
        afterStep(step);
    }
}

void ScriptedWindows::CloseProgressDialog() {
    m_channel.Send([this] {
        bDialogClosed = true;
        const std::lock_guard lock(m_mutex);
        m_bQuit = true;
    });
}

} // namespace setup::test
