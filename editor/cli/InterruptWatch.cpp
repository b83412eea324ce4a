#include "editor/cli/InterruptWatch.h"

#include <utility>

namespace tarvik::cli {

InterruptWatch::InterruptWatch(std::function<void()> first, std::function<void()> second)
    : first_(std::move(first)), second_(std::move(second)) {
    thread_ = std::thread([this] { watch(); });
}

InterruptWatch::~InterruptWatch() {
    interrupts_.stop();
    thread_.join();
}

void InterruptWatch::watch() {
    for (int seen = 0; interrupts_.wait();) {
        (seen++ == 0 ? first_ : second_)();
    }
}

} // namespace tarvik::cli
