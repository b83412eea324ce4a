#pragma once

#include "editor/sim/TransferWindow.h"

#include <chrono>
#include <string>
#include <utility>
#include <vector>

namespace tarvik::testing {

// A window that only records what a transfer did to it.
class RecordingWindow : public TransferWindow {
public:
    std::string caption() const override { return caption_; }
    void setCaption(std::string_view text) override {
        caption_ = text;
        captions.emplace_back(text);
    }
    void processPendingEvents() override { eventsAtCaption.push_back(caption_); }
    void beep() override { ++beeps; }
    void pause(std::chrono::milliseconds duration) override { pauses.push_back(duration); }
    void progress(int record, int count) override { progressSteps.emplace_back(record, count); }
    void failureDetail(std::string_view text) override { details.emplace_back(text); }

    // Every caption set, in order.
    std::vector<std::string> captions;
    // The caption standing each time the window was let to repaint.
    std::vector<std::string> eventsAtCaption;
    int beeps = 0;
    std::vector<std::chrono::milliseconds> pauses;
    std::vector<std::pair<int, int>> progressSteps;
    std::vector<std::string> details;

private:
    std::string caption_ = "Tarvik3 - alarm.sim";
};

} // namespace tarvik::testing
