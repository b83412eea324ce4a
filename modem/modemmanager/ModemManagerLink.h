#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarvik::modem {

// A modem as ModemManager, the desktop's modem service, shows it on the D-Bus.
struct ManagedModem {
    std::string path;               // its object, /org/freedesktop/ModemManager1/Modem/N
    std::string device;             // its "Device" property: the uid InhibitDevice takes
    std::string primaryPort;        // a kernel device name: "ttyUSB2", "ttyACM0", "pts/3"
    std::vector<std::string> ports; // every port it opened, by the same names
    std::string manufacturer;
    std::string model;
    std::uint32_t unlockRequired = 0;          // MMModemLock: 1 none, 2 SIM PIN, 4 SIM PUK ...
    std::optional<std::uint32_t> registration; // MMModem3gppRegistrationState, when 3GPP
    std::uint32_t signalQuality = 0;           // percent
    bool signalRecent = false;
};

// What ModemManager says of one of its SMS objects.
struct ServiceSms {
    std::uint32_t pduType = 0; // MMSmsPduType: 1 deliver, 2 submit, 3 status report
    std::uint32_t state = 0;   // MMSmsState: 3 received, 5 sent ...
    std::string number;        // the other side
    std::string text;          // UTF-8, the parts of a long message already joined
    std::string timestamp;     // ISO 8601: "2025-01-31T13:05:09+01"
    std::uint32_t messageReference = 0;
    std::uint32_t deliveryState = 0; // of a status report: TP-ST, or 0x100 and above
};

// The values of MMSmsPduType and MMSmsState that the sending reads.
inline constexpr std::uint32_t smsDeliver = 1;
inline constexpr std::uint32_t smsStatusReport = 3;
inline constexpr std::uint32_t smsReceived = 3;

// One connection to ModemManager. An inhibition taken through it lasts while the connection
// does: it is released by release(), when the link goes, and by ModemManager itself when the
// connection drops because the process died.
class ModemManagerLink {
public:
    virtual ~ModemManagerLink() = default;

    // The modems ModemManager manages now.
    virtual std::vector<ManagedModem> modems() = 0;

    // Asks ModemManager to let go of the modem (InhibitDevice): it closes the modem's ports
    // and keeps off them. False, with ModemManager's reason in `error`, when it refused.
    virtual bool inhibit(const ManagedModem& modem, std::string& error) = 0;
    // Hands the inhibited modem back; nothing when none is held.
    virtual void release() = 0;

    // Creates an SMS to `number` with `text` on the modem (Messaging.Create): its object, or
    // nothing with the reason in `error`.
    virtual std::optional<std::string> createSms(const ManagedModem& modem, std::string_view number,
                                                 std::string_view text, std::string& error) = 0;
    // Sends it (Sms.Send), waiting at most `timeout` for the network's answer.
    virtual bool sendSms(const std::string& sms, std::chrono::milliseconds timeout,
                         std::string& error) = 0;
    // The SMS objects on the modem (Messaging's Messages), and what one of them says.
    virtual std::vector<std::string> messages(const ManagedModem& modem) = 0;
    virtual std::optional<ServiceSms> readSms(const std::string& sms) = 0;
    virtual bool deleteSms(const ManagedModem& modem, const std::string& sms,
                           std::string& error) = 0;

    // Waits at most `timeout` for ModemManager to announce a new message (Messaging's Added
    // signal): true when one was announced.
    virtual bool waitForMessage(std::chrono::milliseconds timeout) = 0;
};

// ModemManager on the bus at the address in TARVIK_MODEMMANAGER_BUS, else on the system bus;
// nothing when there is no such bus or ModemManager is not on it (a machine without it is no
// error), and on a platform without ModemManager.
std::unique_ptr<ModemManagerLink> ConnectModemManager();

} // namespace tarvik::modem
