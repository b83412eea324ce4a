#pragma once

#include "editor/sim/TransferWindow.h"

#include <string>
#include <string_view>

namespace tarvik::transfer {

// Puts the window's caption back and ends its progress when a transfer ends, however it
// ends.
class CaptionKeeper {
public:
    explicit CaptionKeeper(TransferWindow& window) : window_(window), saved_(window.caption()) {}
    CaptionKeeper(const CaptionKeeper&) = delete;
    CaptionKeeper& operator=(const CaptionKeeper&) = delete;
    ~CaptionKeeper() {
        window_.setCaption(saved_);
        window_.progress(0, 0);
    }

private:
    TransferWindow& window_;
    std::string saved_;
};

// Shows record index+1 of count in the caption; every eighth record lets the window
// repaint.
void ShowProgress(TransferWindow& window, int index, int count);

// An error in the caption, with a beep and a pause of 2 s so that it can be read.
void ShowTransferError(TransferWindow& window, std::string_view caption);

} // namespace tarvik::transfer
