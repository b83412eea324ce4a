#pragma once

#include "base/UniqueFd.h"
#include "tools/simcard/core/Bytes.h"

#include <optional>
#include <span>
#include <string>

namespace simcard {

// The card's side of a vpcd link: messages framed by a 2-byte big-endian length.
//
// vpcd writes a length and its bytes in two writes; unless this side acknowledges at once,
// every command waits for a delayed acknowledgement. So the socket has TCP_NODELAY, gets
// TCP_QUICKACK before every read, and each answer goes out in one write.
class VpcdConnection {
public:
    explicit VpcdConnection(tarvik::UniqueFd socket);

    // Connects to vpcd listening on host:port; nullopt with `error` set when that fails.
    static std::optional<VpcdConnection> connect(const std::string& host, int port,
                                                 std::string& error);

    int fd() const { return socket_.get(); }
    // One message; nullopt when vpcd closed the connection or it broke.
    std::optional<Bytes> receive();
    bool send(std::span<const std::uint8_t> message);

private:
    bool readExactly(std::uint8_t* buffer, std::size_t size);

    tarvik::UniqueFd socket_;
};

} // namespace simcard
