#pragma once

#include "tools/simcard/core/Bytes.h"
#include "tools/simcard/core/CommandLog.h"
#include "tools/simcard/core/Options.h"
#include "tools/simcard/core/SimCard.h"

#include <optional>
#include <span>

namespace simcard {

// Puts a SimCard into vpcd's reader: turns vpcd's messages into card operations and keeps
// the connection (reconnecting, dropping it on purpose) as the options say.
class CardServer {
public:
    CardServer(SimCard& card, const Options& options, CommandLog& log);

    // Serves until `stopFd` becomes readable (a signalfd for SIGTERM/SIGINT; -1 for none),
    // until the drop fault fires, or, with exitOnClose, until vpcd closes. Returns the exit
    // status for the program.
    int run(int stopFd);

    // One message from vpcd and what to send back, if anything. A 1-byte message is a
    // control code: 0 power off, 1 power on, 2 reset, 4 send the ATR.
    std::optional<Bytes> handleMessage(std::span<const std::uint8_t> message);
    // True once a command arrived that the drop fault says must not be answered.
    bool dropRequested() const { return dropRequested_; }

private:
    enum class SessionEnd { Closed, Stopped, Dropped };
    SessionEnd serve(class VpcdConnection& connection, int stopFd);

    SimCard& card_;
    const Options& options_;
    CommandLog& log_;
    int commandsAnswered_ = 0;
    bool dropRequested_ = false;
};

} // namespace simcard
