#include "base/Utf8.h"
#include "editor/cli/CliCommand.h"
#include "editor/cli/CliSupport.h"
#include "editor/cli/CommandLine.h"
#include "editor/cli/Completion.h"
#include "editor/cli/InterruptWatch.h"
#include "editor/form/DeviceModels.h"
#include "modem/MessageLog.h"
#include "modem/MessageSplit.h"
#include "modem/RemoteSend.h"
#include "modem/modemmanager/PortSend.h"

#include <array>
#include <atomic>
#include <cstdlib>
#include <iostream>
#include <ostream>
#include <string>

namespace tarvik::cli {
namespace {

constexpr int defaultWaitSeconds = 30;
constexpr int defaultRegisterSeconds = 30;

constexpr std::array options{
    ArgOption{"--port", ArgValue::Name, "DEVICE", "the modem's serial port (see 'modems')",
              PortCandidates},
    ArgOption{"--to", ArgValue::Text, "NUMBER", "the telephone number of the device's SIM"},
    ArgOption{"--pin", ArgValue::Text, "PIN", "the PIN of the modem's SIM, if it asks for one"},
    ArgOption{"--wait", ArgValue::Count, "SECONDS",
              "how long to wait for replies (30; 0 for none)"},
    ArgOption{"--from", ArgValue::Count, "K", "send from the K-th message on (see below)"},
    ArgOption{"--register-timeout", ArgValue::Count, "SECONDS",
              "how long to wait for the network (30)"},
};

// Prints each message as the modem takes it, and each reply.
class StreamObserver final : public modem::SendObserver {
public:
    StreamObserver(const std::vector<std::u16string>& messages, CliIo& io)
        : messages_(messages), io_(io) {}

    void sent(std::size_t index, std::optional<int> reference) override {
        ++sentCount_;
        io_.out << "message " << index + 1 << " of " << messages_.size()
                << " sent: " << messages_[index].size() << " characters, reference "
                << (reference ? std::to_string(*reference) : std::string("unknown")) << '\n';
        io_.out.flush();
    }
    void replied(const modem::ReceivedSms& reply) override {
        io_.out << "reply from " << reply.from << " (" << reply.time << "): " << reply.text << '\n';
        io_.out.flush();
    }
    void incomplete(const modem::ReceivedSms& reply, const std::string& missing) override {
        io_.out << "incomplete reply from " << reply.from << " (" << reply.time << ", " << missing
                << "): " << reply.text << '\n';
        io_.out.flush();
    }
    void reported(const modem::StatusReport& report) override {
        io_.out << "message reference " << report.reference << " to " << report.recipient << ": "
                << modem::DescribeStatus(report.status) << '\n';
        io_.out.flush();
    }
    void registering(const std::string& state) override {
        io_.out << "waiting for the network: " << state << '\n';
        io_.out.flush();
    }
    void notice(const std::string& text) override {
        io_.out << text << '\n';
        io_.out.flush();
    }
    void warning(const std::string& text) override { io_.err << "tarvik-cli: " << text << '\n'; }

    // Read by the thread that watches for Ctrl+C.
    std::size_t sentCount() const { return sentCount_; }

private:
    const std::vector<std::u16string>& messages_;
    CliIo& io_;
    std::atomic<std::size_t> sentCount_ = 0;
};

// Says at once on standard error, from the thread that watches for Ctrl+C while the
// sending thread may be writing: the whole line in one piece.
void SayAtOnce(const std::string& text) {
    std::cerr << "tarvik-cli: " + text + "\n" << std::flush;
}

int RunSendRemote(const CliCommand& self, const ParsedArgs& args, CliIo& io) {
    const auto port = args.value("--port");
    const auto to = args.value("--to");
    if (!port || !to) {
        return UsageError(self, !port ? "--port is missing" : "--to is missing", io.err);
    }
    std::string error;
    if (!modem::ParseDestination(*to, error)) {
        return UsageError(self, "--to: " + error, io.err);
    }
    const std::string path(args.operands[0]);
    ProgramDocument doc{kDefaultModelIndex};
    if (!LoadDocument(doc, path, io)) {
        return exitUsage;
    }
    modem::MessagePlan plan = modem::PlanMessages(doc.program.remoteText());
    if (!plan.error.empty()) {
        ReportProblem(InputName(path), plan.error, io.err);
        return exitUsage;
    }
    if (plan.messages.empty()) {
        ReportProblem(InputName(path), "the program has no entries to send", io.err);
        return exitUsage;
    }
    const std::size_t from =
        args.has("--from") ? std::stoul(std::string(*args.value("--from"))) : 1;
    if (from < 1 || from > plan.messages.size()) {
        return UsageError(self,
                          "--from " + std::to_string(from) + ": the program makes " +
                              std::to_string(plan.messages.size()) + " message" +
                              (plan.messages.size() == 1 ? "" : "s"),
                          io.err);
    }
    const int waitSeconds =
        args.has("--wait") ? std::stoi(std::string(*args.value("--wait"))) : defaultWaitSeconds;
    const int registerSeconds = args.has("--register-timeout")
                                    ? std::stoi(std::string(*args.value("--register-timeout")))
                                    : defaultRegisterSeconds;

    modem::MessageLog log(modem::MessageLog::defaultFile());
    modem::SendRequest request{
        .messages = std::move(plan.messages),
        .number = std::string(*to),
        .pin = std::string(args.value("--pin").value_or("")),
        .first = from - 1,
        .wait = modem::milliseconds(waitSeconds * 1000LL),
        .registerWait = modem::milliseconds(registerSeconds * 1000LL),
        .timeouts = modem::ModemTimeouts::fromEnvironment(),
    };
    StreamObserver observer(request.messages, io);
    const std::size_t count = request.messages.size();
    std::atomic<bool> cancel = false;
    modem::SendOutcome outcome;
    {
        // Ctrl+C stops before the next message or ends the wait for replies, and the modem
        // is handed back to whoever held it; a second Ctrl+C ends the program at once.
        InterruptWatch interrupts(
            [&cancel] {
                SayAtOnce("stopping after the message in hand (Ctrl+C again stops at once)");
                cancel = true;
            },
            [&observer, count, from] {
                SayAtOnce("stopped at once");
                std::_Exit(observer.sentCount() == count - (from - 1) ? exitOk : exitModem);
            });
        outcome = modem::SendOnPort(std::string(*port), request, log, observer, &cancel);
    }
    switch (outcome.result) {
    case modem::SendOutcome::Result::SetupFailed: {
        // The port's own errors name it already.
        const bool named = outcome.error.starts_with(*port);
        io.err << "tarvik-cli: " << (named ? "" : std::string(*port) + ": ") << outcome.error
               << "; nothing was sent\n";
        return exitModem;
    }
    case modem::SendOutcome::Result::MessageFailed: {
        const std::size_t k = outcome.failedMessage + 1;
        io.err << "tarvik-cli: message " << k << " of " << count
               << " was not sent: " << outcome.error << '\n';
        if (k > from) {
            io.err << "Messages " << from << " to " << k - 1 << " were sent. ";
        }
        io.err << "'--from " << k << "' sends the rest.\n";
        return exitModem;
    }
    case modem::SendOutcome::Result::Cancelled: {
        const std::size_t next = from + outcome.sent;
        io.err << "tarvik-cli: stopped before message " << next << " of " << count << "; '--from "
               << next << "' sends the rest.\n";
        return exitModem;
    }
    case modem::SendOutcome::Result::Sent:
        break;
    }
    if (cancel) {
        return exitOk; // the wait for replies was cut short on purpose
    }
    if (waitSeconds > 0 && outcome.replies == 0) {
        io.err << "tarvik-cli: no reply from " << *to << " within " << waitSeconds << " s\n";
    }
    return exitOk;
}

} // namespace

const CliCommand sendRemoteCommand{
    .name = "send-remote",
    .arguments = "FILE.sim --port DEVICE --to NUMBER",
    .summary = "send the remote-programming text by SMS through a GSM modem",
    .description =
        "Sends the program's remote-programming text (see 'remote') to the device's SIM,\n"
        "one SMS a block; a block too long for one SMS goes in more, cut between entries.\n"
        "Prints one line a message sent (its characters and the modem's reference), then\n"
        "waits for the device's replies and prints them. Each message sent or received\n"
        "is added to $XDG_DATA_HOME/tarvik/messages.csv (~/.local/share/tarvik/), and a\n"
        "reply is deleted from the modem once it is shown and logged.\n"
        "\n"
        "When the modem fails (exit status 7) the message says which message and why; the\n"
        "ones before it were sent, and --from sends the rest. A number with + or 00 in\n"
        "front is international. The modem's timeouts are 10 s for a command and for the\n"
        "\"> \" prompt and 60 s for a message; TARVIK_MODEM_TIMEOUT_MS sets all of them.\n"
        "\n"
        "Before the first message it waits until the modem is registered on the network\n"
        "(home or roaming), at most --register-timeout seconds, and says what the modem\n"
        "reports meanwhile (searching, denied, and its signal). Replies are read whether\n"
        "the modem stores them (+CMTI) or hands them over at once (+CMT); a reply in\n"
        "parts is shown and logged whole, or as incomplete with the parts that came.\n"
        "\n"
        "When ModemManager manages the modem, it is asked to let go of it while the\n"
        "messages go, and takes it back at the end (also after Ctrl+C, or when the\n"
        "program dies); when it refuses, the messages go through ModemManager itself.\n"
        "Ctrl+C stops before the next message or ends the wait for replies.",
    .options = options,
    .operands = {.min = 1, .max = 1, .first = {ArgValue::File}},
    .run = RunSendRemote,
};

} // namespace tarvik::cli
