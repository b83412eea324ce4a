#pragma once

#include "modem/RemoteSend.h"

#include <QObject>
#include <atomic>
#include <functional>
#include <string>
#include <thread>

namespace tarvik {

// Sends messages through a modem on a worker thread of its own, so that the window stays
// responsive while the modem takes its seconds. Everything the sending reports arrives on
// the thread that owns the job, through queued calls, in the order it happened; a report
// still queued when the job goes is dropped. Destroying the job cancels it and waits for
// the worker.
class SmsJob : public QObject {
public:
    struct Reports {
        std::function<void(std::size_t index)> sending;
        std::function<void(std::size_t index, std::optional<int> reference)> sent;
        std::function<void(std::size_t index, const std::string& error)> failed;
        std::function<void(const modem::ReceivedSms& reply)> replied;
        std::function<void(const std::string& text)> warning;
        std::function<void(const modem::SendOutcome& outcome)> finished;
    };

    SmsJob(Reports reports, QObject* parent);
    ~SmsJob() override;

    // Opens the port and sends; false when a sending is still running.
    bool Start(std::string port, modem::SendRequest request);
    // Stops after the message in hand, and ends the wait for replies.
    void Cancel() { cancel_ = true; }
    bool Running() const { return running_; }

private:
    void Run(const std::string& port, const modem::SendRequest& request);
    // Runs `call` on the owner's thread.
    void Post(std::function<void()> call);

    Reports reports_;
    std::thread worker_;
    std::atomic<bool> cancel_ = false;
    bool running_ = false; // touched on the owner's thread only
};

} // namespace tarvik
