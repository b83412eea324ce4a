#include "modem/modemmanager/MessagingSend.h"

#include "base/Utf8.h"
#include "modem/MessageLog.h"
#include "modem/modemmanager/ManagedPort.h"

#include <ctime>
#include <set>

namespace tarvik::modem {
namespace {

using Clock = std::chrono::steady_clock;

// How often the wait for replies looks at `cancel`.
constexpr milliseconds cancelPoll{200};

class ServiceSender {
public:
    ServiceSender(ModemManagerLink& link, const ManagedModem& modem, const SendRequest& request,
                  MessageLog& log, SendObserver& observer, const std::atomic<bool>* cancel)
        : link_(link), modem_(modem), request_(request), log_(log), observer_(observer),
          cancel_(cancel) {}

    SendOutcome run();

private:
    bool cancelled() const { return cancel_ != nullptr && cancel_->load(); }
    bool sendOne(std::size_t index, const std::string& number);
    void waitForReplies();
    // Takes every message on the modem not looked at yet.
    void takeMessages();
    void log(bool sent, const std::string& number, const std::string& text,
             const std::string& result);

    ModemManagerLink& link_;
    const ManagedModem& modem_;
    const SendRequest& request_;
    MessageLog& log_;
    SendObserver& observer_;
    const std::atomic<bool>* cancel_;
    SendOutcome outcome_;
    std::set<std::string> done_; // messages taken or not ours
};

void ServiceSender::log(bool sent, const std::string& number, const std::string& text,
                        const std::string& result) {
    if (!log_.append({std::time(nullptr), sent, number, text, result})) {
        observer_.warning("the message log cannot be written: " + log_.error());
    }
}

bool ServiceSender::sendOne(std::size_t index, const std::string& number) {
    observer_.sending(index);
    const std::string text = Utf16ToUtf8(request_.messages[index]);
    std::string error;
    std::optional<std::string> sms = link_.createSms(modem_, number, text, error);
    if (sms && !link_.sendSms(*sms, request_.timeouts.answer, error)) {
        std::string ignored;
        link_.deleteSms(modem_, *sms, ignored);
        sms.reset();
    }
    if (!sms) {
        error = "ModemManager: " + error;
        log(true, request_.number, text, error);
        observer_.failed(index, error);
        outcome_.result = SendOutcome::Result::MessageFailed;
        outcome_.failedMessage = index;
        outcome_.error = error;
        return false;
    }
    std::optional<int> reference;
    if (const auto sent = link_.readSms(*sms)) {
        reference = static_cast<int>(sent->messageReference);
    }
    // Sent and logged here, it need not stay in ModemManager's list of the modem's messages.
    done_.insert(*sms);
    std::string ignored;
    link_.deleteSms(modem_, *sms, ignored);
    log(true, request_.number, text, "ok");
    ++outcome_.sent;
    observer_.sent(index, reference);
    return true;
}

void ServiceSender::takeMessages() {
    for (const auto& path : link_.messages(modem_)) {
        if (done_.contains(path)) {
            continue;
        }
        const auto sms = link_.readSms(path);
        if (!sms) {
            continue;
        }
        // A long reply stays "receiving" until ModemManager has every part.
        if (sms->pduType == smsDeliver && sms->state != smsReceived) {
            continue;
        }
        done_.insert(path);
        if (!SameNumber(sms->number, request_.number)) {
            continue; // someone else's message stays on the modem
        }
        if (sms->pduType == smsStatusReport) {
            const StatusReport report{static_cast<int>(sms->messageReference), sms->number,
                                      static_cast<int>(sms->deliveryState)};
            observer_.reported(report);
            log(false, sms->number,
                "status report on message reference " + std::to_string(report.reference) + ": " +
                    DescribeStatus(report.status),
                "ok");
            continue;
        }
        if (sms->pduType != smsDeliver) {
            continue;
        }
        ++outcome_.replies;
        observer_.replied(ReceivedSms{sms->number, sms->text, SmsTime(sms->timestamp), {}});
        if (!log_.append({std::time(nullptr), false, sms->number, sms->text, "ok"})) {
            observer_.warning("the message log cannot be written: " + log_.error() +
                              "; the reply stays on the modem");
            continue;
        }
        std::string error;
        if (!link_.deleteSms(modem_, path, error)) {
            observer_.warning("a reply could not be deleted from the modem: " + error);
        }
    }
}

void ServiceSender::waitForReplies() {
    const auto deadline = Clock::now() + request_.wait;
    const std::size_t expected = request_.messages.size() - request_.first;
    takeMessages();
    while (outcome_.replies < expected && !cancelled()) {
        const auto left = std::chrono::duration_cast<milliseconds>(deadline - Clock::now());
        if (left.count() <= 0) {
            break;
        }
        // A message in parts is announced before its last part came: look again each time.
        link_.waitForMessage(std::min(left, cancelPoll));
        takeMessages();
    }
}

SendOutcome ServiceSender::run() {
    std::string error;
    const auto to = ParseDestination(request_.number, error);
    if (!to) {
        outcome_.result = SendOutcome::Result::SetupFailed;
        outcome_.error = error;
        return outcome_;
    }
    const std::string number = (to->international ? "+" : "") + to->digits;
    for (std::size_t i = request_.first; i < request_.messages.size(); ++i) {
        if (cancelled()) {
            outcome_.result = SendOutcome::Result::Cancelled;
            return outcome_;
        }
        if (!sendOne(i, number)) {
            return outcome_;
        }
    }
    if (request_.wait.count() > 0) {
        waitForReplies();
    }
    return outcome_;
}

} // namespace

SendOutcome SendThroughModemManager(ModemManagerLink& link, const ManagedModem& modem,
                                    const SendRequest& request, MessageLog& log,
                                    SendObserver& observer, const std::atomic<bool>* cancel) {
    return ServiceSender(link, modem, request, log, observer, cancel).run();
}

} // namespace tarvik::modem
