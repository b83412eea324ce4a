#include "editor/shell/dialogs/SmsJob.h"

#include "modem/MessageLog.h"
#include "modem/modemmanager/PortSend.h"

#include <QMetaObject>

namespace tarvik {
namespace {

// Hands each report of the sending to the owner's thread.
class PostingObserver final : public modem::SendObserver {
public:
    PostingObserver(std::function<void(std::function<void()>)> post, const SmsJob::Reports& reports)
        : post_(std::move(post)), reports_(&reports) {}

    void sending(std::size_t index) override {
        post_([r = reports_, index] { r->sending(index); });
    }
    void sent(std::size_t index, std::optional<int> reference) override {
        post_([r = reports_, index, reference] { r->sent(index, reference); });
    }
    void failed(std::size_t index, const std::string& error) override {
        post_([r = reports_, index, error] { r->failed(index, error); });
    }
    void replied(const modem::ReceivedSms& reply) override {
        post_([r = reports_, reply] { r->replied(reply); });
    }
    void warning(const std::string& text) override {
        post_([r = reports_, text] { r->warning(text); });
    }
    // These go to the status line, where the window tells what is under way.
    void incomplete(const modem::ReceivedSms& reply, const std::string& missing) override {
        warning("incomplete reply from " + reply.from + " (" + missing + "): " + reply.text);
    }
    void reported(const modem::StatusReport& report) override {
        warning("message reference " + std::to_string(report.reference) + ": " +
                modem::DescribeStatus(report.status));
    }
    void registering(const std::string& state) override {
        warning("waiting for the network: " + state);
    }
    void notice(const std::string& text) override { warning(text); }

private:
    std::function<void(std::function<void()>)> post_;
    // The job's, which outlive the calls queued on the job; this observer does not.
    const SmsJob::Reports* reports_;
};

} // namespace

SmsJob::SmsJob(Reports reports, QObject* parent) : QObject(parent), reports_(std::move(reports)) {}

SmsJob::~SmsJob() {
    cancel_ = true;
    if (worker_.joinable()) {
        worker_.join();
    }
}

bool SmsJob::Start(std::string port, modem::SendRequest request) {
    if (running_) {
        return false;
    }
    if (worker_.joinable()) {
        worker_.join(); // the last sending has ended: its finished report came
    }
    running_ = true;
    cancel_ = false;
    worker_ = std::thread(
        [this, port = std::move(port), request = std::move(request)] { Run(port, request); });
    return true;
}

void SmsJob::Post(std::function<void()> call) {
    // The job is the context: a call still queued when it is destroyed is dropped.
    QMetaObject::invokeMethod(this, std::move(call), Qt::QueuedConnection);
}

void SmsJob::Run(const std::string& port, const modem::SendRequest& request) {
    // ModemManager, when it manages the modem, lets go of it for the sending or sends itself.
    modem::MessageLog log(modem::MessageLog::defaultFile());
    PostingObserver observer([this](std::function<void()> call) { Post(std::move(call)); },
                             reports_);
    const modem::SendOutcome outcome = modem::SendOnPort(port, request, log, observer, &cancel_);
    Post([this, outcome] {
        running_ = false;
        reports_.finished(outcome);
    });
}

} // namespace tarvik
