// ModemManager through sd-bus, the D-Bus client of libsystemd.
#include "modem/modemmanager/ModemManagerLink.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <map>
#include <systemd/sd-bus.h>

namespace tarvik::modem {
namespace {

constexpr const char* service = "org.freedesktop.ModemManager1";
constexpr const char* managerPath = "/org/freedesktop/ModemManager1";
constexpr const char* managerInterface = "org.freedesktop.ModemManager1";
constexpr const char* modemInterface = "org.freedesktop.ModemManager1.Modem";
constexpr const char* modem3gppInterface = "org.freedesktop.ModemManager1.Modem.Modem3gpp";
constexpr const char* messagingInterface = "org.freedesktop.ModemManager1.Modem.Messaging";
constexpr const char* smsInterface = "org.freedesktop.ModemManager1.Sms";

// ModemManager answers its other calls at once; letting go of a modem closes its ports,
// which a modem busy with the network may take a while to allow.
constexpr std::uint64_t callUsec = 10'000'000;
constexpr std::uint64_t inhibitUsec = 60'000'000;

struct BusClose {
    void operator()(sd_bus* bus) const { sd_bus_flush_close_unref(bus); }
};
struct MessageUnref {
    void operator()(sd_bus_message* message) const { sd_bus_message_unref(message); }
};
struct SlotUnref {
    void operator()(sd_bus_slot* slot) const { sd_bus_slot_unref(slot); }
};
using Bus = std::unique_ptr<sd_bus, BusClose>;
using Message = std::unique_ptr<sd_bus_message, MessageUnref>;
using Slot = std::unique_ptr<sd_bus_slot, SlotUnref>;

// The error of one call, freed when it goes.
class CallError {
public:
    CallError() = default;
    CallError(const CallError&) = delete;
    CallError& operator=(const CallError&) = delete;
    ~CallError() { sd_bus_error_free(&error_); }

    sd_bus_error* get() { return &error_; }
    std::string text(int result) const {
        if (sd_bus_error_is_set(&error_) != 0) {
            return error_.message != nullptr ? error_.message : error_.name;
        }
        return std::strerror(-result);
    }

private:
    sd_bus_error error_ = SD_BUS_ERROR_NULL;
};

// A property's value, as far as the sending reads values: a string or object path, a number
// (also the first member of a structure such as SignalQuality's (ub)), or a list of names
// (ao, as, and the names of Ports' a(su)).
struct Value {
    std::string text;
    std::uint64_t number = 0;
    bool flag = false; // the second member of (ub)
    std::vector<std::string> names;
};
using Properties = std::map<std::string, Value, std::less<>>;

// Reads one variant at the message's position into `value`; a type the sending does not use
// is skipped. False when the message is malformed.
bool ReadVariant(sd_bus_message* message, Value& value) {
    char type = 0;
    const char* contents = nullptr;
    if (sd_bus_message_peek_type(message, &type, &contents) <= 0 || type != 'v' ||
        contents == nullptr) {
        return false;
    }
    const std::string_view signature(contents);
    if (signature == "s" || signature == "o") {
        const char* text = nullptr;
        if (sd_bus_message_read(message, "v", contents, &text) < 0) {
            return false;
        }
        value.text = text;
        return true;
    }
    if (signature == "u") {
        std::uint32_t number = 0;
        if (sd_bus_message_read(message, "v", "u", &number) < 0) {
            return false;
        }
        value.number = number;
        return true;
    }
    if (signature == "(ub)") {
        std::uint32_t number = 0;
        int flag = 0;
        if (sd_bus_message_read(message, "v", "(ub)", &number, &flag) < 0) {
            return false;
        }
        value.number = number;
        value.flag = flag != 0;
        return true;
    }
    if (signature == "ao" || signature == "as" || signature == "a(su)") {
        const bool pairs = signature == "a(su)";
        if (sd_bus_message_enter_container(message, 'v', contents) < 0 ||
            sd_bus_message_enter_container(message, 'a', contents + 1) < 0) {
            return false;
        }
        for (;;) {
            const char* name = nullptr;
            std::uint32_t kind = 0;
            const int read = pairs ? sd_bus_message_read(message, "(su)", &name, &kind)
                                   : sd_bus_message_read(message, contents + 1, &name);
            if (read < 0) {
                return false;
            }
            if (read == 0) {
                break;
            }
            value.names.emplace_back(name);
        }
        return sd_bus_message_exit_container(message) >= 0 &&
               sd_bus_message_exit_container(message) >= 0;
    }
    return sd_bus_message_skip(message, "v") >= 0;
}

// Reads an a{sv} at the message's position; false when it is malformed.
bool ReadProperties(sd_bus_message* message, Properties& properties) {
    if (sd_bus_message_enter_container(message, 'a', "{sv}") < 0) {
        return false;
    }
    for (;;) {
        const int entered = sd_bus_message_enter_container(message, 'e', "sv");
        if (entered < 0) {
            return false;
        }
        if (entered == 0) {
            break;
        }
        const char* name = nullptr;
        if (sd_bus_message_read(message, "s", &name) < 0 ||
            !ReadVariant(message, properties[name]) || sd_bus_message_exit_container(message) < 0) {
            return false;
        }
    }
    return sd_bus_message_exit_container(message) >= 0;
}

const Value* Find(const Properties& properties, std::string_view name) {
    const auto found = properties.find(name);
    return found == properties.end() ? nullptr : &found->second;
}

void TakeModem(const Properties& properties, ManagedModem& modem) {
    const Value none;
    const auto at = [&](std::string_view name) -> const Value& {
        const Value* value = Find(properties, name);
        return value != nullptr ? *value : none;
    };
    modem.device = at("Device").text;
    modem.primaryPort = at("PrimaryPort").text;
    modem.ports = at("Ports").names;
    modem.manufacturer = at("Manufacturer").text;
    modem.model = at("Model").text;
    modem.unlockRequired = static_cast<std::uint32_t>(at("UnlockRequired").number);
    modem.signalQuality = static_cast<std::uint32_t>(at("SignalQuality").number);
    modem.signalRecent = at("SignalQuality").flag;
}

Bus OpenBus() {
    sd_bus* raw = nullptr;
    const char* address = std::getenv("TARVIK_MODEMMANAGER_BUS");
    if (address == nullptr || *address == '\0') {
        return sd_bus_open_system(&raw) >= 0 ? Bus(raw) : Bus();
    }
    if (sd_bus_new(&raw) < 0) {
        return {};
    }
    Bus bus(raw);
    if (sd_bus_set_address(raw, address) < 0 || sd_bus_set_bus_client(raw, 1) < 0 ||
        sd_bus_start(raw) < 0) {
        return {};
    }
    return bus;
}

class SdBusLink final : public ModemManagerLink {
public:
    explicit SdBusLink(Bus bus) : bus_(std::move(bus)) {}
    ~SdBusLink() override { release(); }
    SdBusLink(const SdBusLink&) = delete;
    SdBusLink& operator=(const SdBusLink&) = delete;

    // Whether ModemManager holds its name; asked first, so that nothing here starts the
    // service by activation.
    bool serviceRuns();
    bool watchAdded();

    std::vector<ManagedModem> modems() override;
    bool inhibit(const ManagedModem& modem, std::string& error) override;
    void release() override;
    std::optional<std::string> createSms(const ManagedModem& modem, std::string_view number,
                                         std::string_view text, std::string& error) override;
    bool sendSms(const std::string& sms, std::chrono::milliseconds timeout,
                 std::string& error) override;
    std::vector<std::string> messages(const ManagedModem& modem) override;
    std::optional<ServiceSms> readSms(const std::string& sms) override;
    bool deleteSms(const ManagedModem& modem, const std::string& sms, std::string& error) override;
    bool waitForMessage(std::chrono::milliseconds timeout) override;

private:
    // A call of `member` with the arguments `append` puts in; the reply, or nothing with
    // the reason in `error`.
    template <typename Append>
    Message call(const char* destination, const char* path, const char* interface,
                 const char* member, std::uint64_t usec, std::string& error, Append append);
    std::optional<Properties> allProperties(const std::string& path, const char* interface);

    static int onAdded(sd_bus_message* message, void* self, sd_bus_error* error);

    Bus bus_;
    Slot added_;
    bool announced_ = false;
    std::string inhibited_; // the device uid held
};

template <typename Append>
Message SdBusLink::call(const char* destination, const char* path, const char* interface,
                        const char* member, std::uint64_t usec, std::string& error, Append append) {
    sd_bus_message* raw = nullptr;
    int result =
        sd_bus_message_new_method_call(bus_.get(), &raw, destination, path, interface, member);
    if (result < 0) {
        error = std::strerror(-result);
        return {};
    }
    const Message request(raw);
    result = append(raw);
    if (result < 0) {
        error = std::strerror(-result);
        return {};
    }
    CallError callError;
    sd_bus_message* reply = nullptr;
    result = sd_bus_call(bus_.get(), raw, usec, callError.get(), &reply);
    if (result < 0) {
        error = callError.text(result);
        return {};
    }
    return Message(reply);
}

const auto noArguments = [](sd_bus_message*) { return 0; };

bool SdBusLink::serviceRuns() {
    std::string error;
    const Message reply = call(
        "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus", "NameHasOwner",
        callUsec, error, [](sd_bus_message* m) { return sd_bus_message_append(m, "s", service); });
    int owned = 0;
    return reply && sd_bus_message_read(reply.get(), "b", &owned) >= 0 && owned != 0;
}

bool SdBusLink::watchAdded() {
    sd_bus_slot* slot = nullptr;
    if (sd_bus_match_signal(bus_.get(), &slot, nullptr, nullptr, messagingInterface, "Added",
                            &SdBusLink::onAdded, this) < 0) {
        return false;
    }
    added_.reset(slot);
    return true;
}

int SdBusLink::onAdded(sd_bus_message* /*message*/, void* self, sd_bus_error* /*error*/) {
    static_cast<SdBusLink*>(self)->announced_ = true;
    return 0;
}

std::vector<ManagedModem> SdBusLink::modems() {
    std::string error;
    const Message reply = call(service, managerPath, "org.freedesktop.DBus.ObjectManager",
                               "GetManagedObjects", callUsec, error, noArguments);
    std::vector<ManagedModem> found;
    if (!reply) {
        return found;
    }
    sd_bus_message* m = reply.get();
    if (sd_bus_message_enter_container(m, 'a', "{oa{sa{sv}}}") < 0) {
        return found;
    }
    while (sd_bus_message_enter_container(m, 'e', "oa{sa{sv}}") > 0) {
        const char* path = nullptr;
        if (sd_bus_message_read(m, "o", &path) < 0 ||
            sd_bus_message_enter_container(m, 'a', "{sa{sv}}") < 0) {
            return found;
        }
        ManagedModem modem;
        modem.path = path;
        bool isModem = false;
        while (sd_bus_message_enter_container(m, 'e', "sa{sv}") > 0) {
            const char* interface = nullptr;
            Properties properties;
            if (sd_bus_message_read(m, "s", &interface) < 0 || !ReadProperties(m, properties) ||
                sd_bus_message_exit_container(m) < 0) {
                return found;
            }
            if (std::string_view(interface) == modemInterface) {
                isModem = true;
                TakeModem(properties, modem);
            } else if (std::string_view(interface) == modem3gppInterface) {
                if (const Value* state = Find(properties, "RegistrationState")) {
                    modem.registration = static_cast<std::uint32_t>(state->number);
                }
            }
        }
        if (sd_bus_message_exit_container(m) < 0 || sd_bus_message_exit_container(m) < 0) {
            return found;
        }
        if (isModem) {
            found.push_back(std::move(modem));
        }
    }
    return found;
}

bool SdBusLink::inhibit(const ManagedModem& modem, std::string& error) {
    release();
    const Message reply = call(
        service, managerPath, managerInterface, "InhibitDevice", inhibitUsec, error,
        [&](sd_bus_message* m) { return sd_bus_message_append(m, "sb", modem.device.c_str(), 1); });
    if (!reply) {
        return false;
    }
    inhibited_ = modem.device;
    return true;
}

void SdBusLink::release() {
    if (inhibited_.empty()) {
        return;
    }
    // Should the call fail, the bus still ends the inhibition when the connection closes.
    std::string error;
    call(service, managerPath, managerInterface, "InhibitDevice", callUsec, error,
         [&](sd_bus_message* m) { return sd_bus_message_append(m, "sb", inhibited_.c_str(), 0); });
    inhibited_.clear();
}

std::optional<std::string> SdBusLink::createSms(const ManagedModem& modem, std::string_view number,
                                                std::string_view text, std::string& error) {
    const std::string to(number);
    const std::string body(text);
    const Message reply =
        call(service, modem.path.c_str(), messagingInterface, "Create", callUsec, error,
             [&](sd_bus_message* m) {
                 return sd_bus_message_append(m, "a{sv}", 2, "number", "s", to.c_str(), "text", "s",
                                              body.c_str());
             });
    const char* path = nullptr;
    if (!reply) {
        return std::nullopt;
    }
    if (sd_bus_message_read(reply.get(), "o", &path) < 0) {
        error = "ModemManager's answer to Create is not an object path";
        return std::nullopt;
    }
    return std::string(path);
}

bool SdBusLink::sendSms(const std::string& sms, std::chrono::milliseconds timeout,
                        std::string& error) {
    const auto usec = static_cast<std::uint64_t>(
        std::chrono::duration_cast<std::chrono::microseconds>(timeout).count());
    return static_cast<bool>(
        call(service, sms.c_str(), smsInterface, "Send", usec, error, noArguments));
}

std::optional<Properties> SdBusLink::allProperties(const std::string& path, const char* interface) {
    std::string error;
    const Message reply =
        call(service, path.c_str(), "org.freedesktop.DBus.Properties", "GetAll", callUsec, error,
             [&](sd_bus_message* m) { return sd_bus_message_append(m, "s", interface); });
    Properties properties;
    if (!reply || !ReadProperties(reply.get(), properties)) {
        return std::nullopt;
    }
    return properties;
}

std::vector<std::string> SdBusLink::messages(const ManagedModem& modem) {
    const auto properties = allProperties(modem.path, messagingInterface);
    if (!properties) {
        return {};
    }
    const Value* messages = Find(*properties, "Messages");
    return messages != nullptr ? messages->names : std::vector<std::string>{};
}

std::optional<ServiceSms> SdBusLink::readSms(const std::string& sms) {
    const auto properties = allProperties(sms, smsInterface);
    if (!properties) {
        return std::nullopt;
    }
    const Value none;
    const auto at = [&](std::string_view name) -> const Value& {
        const Value* value = Find(*properties, name);
        return value != nullptr ? *value : none;
    };
    return ServiceSms{
        .pduType = static_cast<std::uint32_t>(at("PduType").number),
        .state = static_cast<std::uint32_t>(at("State").number),
        .number = at("Number").text,
        .text = at("Text").text,
        .timestamp = at("Timestamp").text,
        .messageReference = static_cast<std::uint32_t>(at("MessageReference").number),
        .deliveryState = static_cast<std::uint32_t>(at("DeliveryState").number),
    };
}

bool SdBusLink::deleteSms(const ManagedModem& modem, const std::string& sms, std::string& error) {
    return static_cast<bool>(
        call(service, modem.path.c_str(), messagingInterface, "Delete", callUsec, error,
             [&](sd_bus_message* m) { return sd_bus_message_append(m, "o", sms.c_str()); }));
}

bool SdBusLink::waitForMessage(std::chrono::milliseconds timeout) {
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + timeout;
    announced_ = false;
    for (;;) {
        int processed = 0;
        while ((processed = sd_bus_process(bus_.get(), nullptr)) > 0) {
        }
        if (processed < 0) {
            return false; // the connection is gone
        }
        if (announced_) {
            return true;
        }
        const auto left =
            std::chrono::duration_cast<std::chrono::microseconds>(deadline - Clock::now());
        if (left.count() <= 0) {
            return false;
        }
        if (sd_bus_wait(bus_.get(), static_cast<std::uint64_t>(left.count())) < 0) {
            return false;
        }
    }
}

} // namespace

std::unique_ptr<ModemManagerLink> ConnectModemManager() {
    Bus bus = OpenBus();
    if (!bus) {
        return nullptr;
    }
    auto link = std::make_unique<SdBusLink>(std::move(bus));
    if (!link->serviceRuns() || !link->watchAdded()) {
        return nullptr;
    }
    return link;
}

} // namespace tarvik::modem
