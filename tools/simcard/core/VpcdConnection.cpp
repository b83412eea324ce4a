#include "tools/simcard/core/VpcdConnection.h"

#include <cerrno>
#include <cstring>
#include <memory>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <sys/types.h>

namespace simcard {

namespace {

void SetOption(int fd, int option) {
    int on = 1;
    // Failing only costs latency, so the result is not checked.
    (void)::setsockopt(fd, IPPROTO_TCP, option, &on, sizeof on);
}

} // namespace

VpcdConnection::VpcdConnection(tarvik::UniqueFd socket) : socket_(std::move(socket)) {
    SetOption(socket_.get(), TCP_NODELAY);
}

std::optional<VpcdConnection> VpcdConnection::connect(const std::string& host, int port,
                                                      std::string& error) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    auto service = std::to_string(port);
    if (int rc = ::getaddrinfo(host.c_str(), service.c_str(), &hints, &found); rc != 0) {
        error = "cannot resolve " + host + ": " + ::gai_strerror(rc);
        return std::nullopt;
    }
    std::unique_ptr<addrinfo, decltype(&::freeaddrinfo)> list(found, &::freeaddrinfo);
    for (auto* a = found; a; a = a->ai_next) {
        tarvik::UniqueFd fd(::socket(a->ai_family, a->ai_socktype | SOCK_CLOEXEC, a->ai_protocol));
        if (!fd)
            continue;
        if (::connect(fd.get(), a->ai_addr, a->ai_addrlen) == 0)
            return VpcdConnection(std::move(fd));
        error = "cannot connect to " + host + ":" + service + ": " + std::strerror(errno);
    }
    if (error.empty())
        error = "cannot connect to " + host + ":" + service;
    return std::nullopt;
}

bool VpcdConnection::readExactly(std::uint8_t* buffer, std::size_t size) {
    std::size_t done = 0;
    while (done < size) {
        SetOption(socket_.get(), TCP_QUICKACK);
        auto n = ::recv(socket_.get(), buffer + done, size - done, 0);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
        } else if (n == 0 || errno != EINTR) {
            return false;
        }
    }
    return true;
}

std::optional<Bytes> VpcdConnection::receive() {
    std::uint8_t header[2];
    if (!readExactly(header, sizeof header))
        return std::nullopt;
    Bytes message(static_cast<std::size_t>(header[0] << 8 | header[1]));
    if (!message.empty() && !readExactly(message.data(), message.size()))
        return std::nullopt;
    return message;
}

bool VpcdConnection::send(std::span<const std::uint8_t> message) {
    if (message.size() > 0xFFFF)
        return false;
    Bytes frame;
    frame.reserve(message.size() + 2);
    frame.push_back(static_cast<std::uint8_t>(message.size() >> 8));
    frame.push_back(static_cast<std::uint8_t>(message.size() & 0xFF));
    frame.insert(frame.end(), message.begin(), message.end());
    std::size_t done = 0;
    while (done < frame.size()) {
        auto n = ::send(socket_.get(), frame.data() + done, frame.size() - done, MSG_NOSIGNAL);
        if (n > 0)
            done += static_cast<std::size_t>(n);
        else if (n < 0 && errno == EINTR)
            continue;
        else
            return false;
    }
    return true;
}

} // namespace simcard
