#pragma once

#include <chrono>
#include <string>
#include <string_view>

namespace tarvik {

// What a card transfer needs of the window it runs in. The transfer shows its progress and
// its errors in the window's caption, lets the window repaint now and then, and beeps and
// pauses after an error so that the caption can be read.
class TransferWindow {
public:
    virtual ~TransferWindow() = default;

    // The caption as it stands, to be put back when the transfer ends. Its encoding is
    // the window's own: a transfer sets only ASCII captions and puts back exactly what it
    // got here.
    virtual std::string caption() const = 0;
    virtual void setCaption(std::string_view text) = 0;
    // Lets the window handle what is pending (repaints) in the middle of a transfer.
    virtual void processPendingEvents() = 0;
    virtual void beep() = 0;
    virtual void pause(std::chrono::milliseconds duration) = 0;

    // The record being transferred (from 1) of count, shown alongside the caption; count 0
    // when the transfer has ended.
    virtual void progress(int /*record*/, int /*count*/) {}
    // Why a transfer failed, in words for a person; a window may leave it unshown.
    virtual void failureDetail(std::string_view /*text*/) {}
};

// A window that shows nothing and never waits: for transfers whose progress is told some
// other way (a dialog's own state line) and for benchmarks.
class QuietTransferWindow final : public TransferWindow {
public:
    std::string caption() const override { return caption_; }
    void setCaption(std::string_view text) override { caption_ = text; }
    void processPendingEvents() override {}
    void beep() override {}
    void pause(std::chrono::milliseconds) override {}

private:
    std::string caption_;
};

} // namespace tarvik
