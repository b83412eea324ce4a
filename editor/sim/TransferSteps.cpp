#include "editor/sim/TransferSteps.h"

#include "editor/sim/SimMessages.h"

#include <chrono>

namespace tarvik::transfer {

void ShowProgress(TransferWindow& window, int index, int count) {
    window.setCaption(ProgressCaption(index + 1, count));
    window.progress(index + 1, count);
    if (index % 8 == 0) {
        window.processPendingEvents();
    }
}

void ShowTransferError(TransferWindow& window, std::string_view caption) {
    window.setCaption(caption);
    window.beep();
    window.pause(std::chrono::milliseconds(2000));
}

} // namespace tarvik::transfer
