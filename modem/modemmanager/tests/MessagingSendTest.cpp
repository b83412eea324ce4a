// SendThroughModemManager over an in-memory ModemManager: what it creates and sends, which
// of the modem's messages it takes as replies, and what it deletes.
#include "modem/modemmanager/MessagingSend.h"

#include "modem/MessageLog.h"
#include "testing/FileContents.h"
#include "testing/TemporaryFolder.h"

#include <deque>
#include <functional>
#include <gtest/gtest.h>
#include <map>
#include <thread>

namespace tarvik::modem {
namespace {

using namespace std::chrono_literals;

constexpr const char* deviceNumber = "+393331234567";
// MMSmsPduType 2 (submit) and MMSmsState 2 (receiving: parts still missing).
constexpr std::uint32_t smsSubmit = 2;
constexpr std::uint32_t smsReceiving = 2;

ServiceSms Message(std::uint32_t type, std::string number, std::string text = {},
                   std::uint32_t state = smsReceived) {
    ServiceSms sms;
    sms.pduType = type;
    sms.state = state;
    sms.number = std::move(number);
    sms.text = std::move(text);
    sms.timestamp = "2025-01-31T13:05:09+01";
    return sms;
}

ServiceSms Received(std::string number, std::string text, std::uint32_t state = smsReceived) {
    return Message(smsDeliver, std::move(number), std::move(text), state);
}

// ModemManager's messages of one modem, in memory; each wait for a message runs the next
// step, which may add a message or change one.
class ScriptedLink final : public ModemManagerLink {
public:
    std::map<std::string, ServiceSms> sms;
    std::vector<std::string> order; // Messages, as ModemManager lists them
    std::deque<std::function<void(ScriptedLink&)>> steps;
    std::string createError;
    std::string sendError;
    std::vector<std::string> deleted;

    void add(const std::string& path, ServiceSms message) {
        sms[path] = std::move(message);
        order.push_back(path);
    }

    std::vector<ManagedModem> modems() override { return {}; }
    bool inhibit(const ManagedModem&, std::string&) override { return false; }
    void release() override {}
    std::optional<std::string> createSms(const ManagedModem&, std::string_view number,
                                         std::string_view text, std::string& error) override {
        if (!createError.empty()) {
            error = createError;
            return std::nullopt;
        }
        const std::string path = "/SMS/" + std::to_string(order.size() + 1);
        add(path, Message(smsSubmit, std::string(number), std::string(text), 0));
        return path;
    }
    bool sendSms(const std::string& path, std::chrono::milliseconds, std::string& error) override {
        error = sendError;
        sms[path].messageReference = 41;
        return sendError.empty();
    }
    std::vector<std::string> messages(const ManagedModem&) override { return order; }
    std::optional<ServiceSms> readSms(const std::string& path) override {
        const auto found = sms.find(path);
        return found == sms.end() ? std::nullopt : std::optional(found->second);
    }
    bool deleteSms(const ManagedModem&, const std::string& path, std::string&) override {
        deleted.push_back(path);
        std::erase(order, path);
        return sms.erase(path) == 1;
    }
    bool waitForMessage(std::chrono::milliseconds) override {
        if (steps.empty()) {
            std::this_thread::sleep_for(1ms);
            return false;
        }
        steps.front()(*this);
        steps.pop_front();
        return true;
    }
};

class Recorder final : public SendObserver {
public:
    std::vector<std::string> events;
    void sent(std::size_t index, std::optional<int> reference) override {
        events.push_back("sent " + std::to_string(index) + " as " +
                         (reference ? std::to_string(*reference) : "?"));
    }
    void failed(std::size_t index, const std::string& error) override {
        events.push_back("failed " + std::to_string(index) + ": " + error);
    }
    void replied(const ReceivedSms& reply) override {
        events.push_back("reply " + reply.text + " at " + reply.time);
    }
    void reported(const StatusReport& report) override {
        events.push_back("report " + std::to_string(report.reference) + " " +
                         DescribeStatus(report.status));
    }
};

TEST(MessagingSendTest, SendsEachMessageAndTakesOnlyTheDevicesWholeReplies) {
    using Step = std::function<void(ScriptedLink&)>;
    struct Case {
        std::string name;
        std::vector<Step> steps;
        std::string createError, sendError;
        std::vector<std::string> events;
        std::vector<std::string> deleted;
        std::string logged; // the end of the log
    };
    const std::vector<Case> cases = {
        {"a reply",
         {[](ScriptedLink& l) { l.add("/SMS/r", Received(deviceNumber, "OK")); }},
         "",
         "",
         {"sent 0 as 41", "reply OK at 2025-01-31 13:05:09"},
         {"/SMS/1", "/SMS/r"},
         ",received,+393331234567,OK,ok\r\n"},
        {"another's message first, then the reply in the national form",
         {[](ScriptedLink& l) { l.add("/SMS/x", Received("+393339999999", "Hello")); },
          [](ScriptedLink& l) { l.add("/SMS/r", Received("03331234567", "OK")); }},
         "",
         "",
         {"sent 0 as 41", "reply OK at 2025-01-31 13:05:09"},
         {"/SMS/1", "/SMS/r"},
         ",received,03331234567,OK,ok\r\n"},
        {"a reply in parts is taken once whole",
         {[](ScriptedLink& l) { l.add("/SMS/r", Received(deviceNumber, "O", smsReceiving)); },
          [](ScriptedLink& l) { l.sms["/SMS/r"] = Received(deviceNumber, "OK"); }},
         "",
         "",
         {"sent 0 as 41", "reply OK at 2025-01-31 13:05:09"},
         {"/SMS/1", "/SMS/r"},
         ",received,+393331234567,OK,ok\r\n"},
        // TP-ST 0 (3GPP TS 23.040 §9.2.3.15), which ModemManager's delivery state keeps.
        {"a status report",
         {[](ScriptedLink& l) {
             ServiceSms report = Message(smsStatusReport, deviceNumber);
             report.messageReference = 41;
             report.deliveryState = 0;
             l.add("/SMS/s", report);
         }},
         "",
         "",
         {"sent 0 as 41", "report 41 delivered"},
         {"/SMS/1"},
         ",status report on message reference 41: delivered,ok\r\n"},
        {"creating refused",
         {},
         "Modem is not enabled",
         "",
         {"failed 0: ModemManager: Modem is not enabled"},
         {},
         ",ModemManager: Modem is not enabled\r\n"},
        {"sending failed",
         {},
         "",
         "No network",
         {"failed 0: ModemManager: No network"},
         {"/SMS/1"},
         ",ModemManager: No network\r\n"},
    };
    for (const auto& c : cases) {
        testing::TemporaryFolder folder;
        MessageLog log(folder.path() / "messages.csv");
        ScriptedLink link;
        link.steps.assign(c.steps.begin(), c.steps.end());
        link.createError = c.createError;
        link.sendError = c.sendError;
        SendRequest request;
        request.messages = {u"TL0=1;"};
        request.number = deviceNumber;
        request.wait = 300ms;
        Recorder observer;
        const SendOutcome outcome = SendThroughModemManager(link, {}, request, log, observer);
        EXPECT_EQ(outcome.result, c.sendError.empty() && c.createError.empty()
                                      ? SendOutcome::Result::Sent
                                      : SendOutcome::Result::MessageFailed)
            << c.name;
        EXPECT_EQ(observer.events, c.events) << c.name;
        EXPECT_EQ(link.deleted, c.deleted) << c.name;
        // Another's message stays on the modem.
        EXPECT_EQ(link.sms.contains("/SMS/x"), c.name.starts_with("another's")) << c.name;
        const std::string csv = testing::ReadAll(folder.path() / "messages.csv");
        EXPECT_TRUE(csv.ends_with(c.logged)) << c.name << "\n" << csv;
    }
}

} // namespace
} // namespace tarvik::modem
