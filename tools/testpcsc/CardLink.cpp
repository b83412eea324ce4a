#include "tools/testpcsc/CardLink.h"

#include <winsock2.h>
#include <ws2tcpip.h>

namespace testpcsc {

namespace {

SOCKET AsSocket(std::uintptr_t handle) {
    return static_cast<SOCKET>(handle);
}

// Whether `socket` becomes readable within `milliseconds`.
bool Readable(SOCKET socket, unsigned milliseconds) {
    fd_set set;
    FD_ZERO(&set);
    FD_SET(socket, &set);
    timeval timeout{static_cast<long>(milliseconds / 1000),
                    static_cast<long>(milliseconds % 1000 * 1000)};
    return ::select(0, &set, nullptr, nullptr, &timeout) > 0;
}

} // namespace

std::optional<Bytes> EncodeFrame(std::span<const std::uint8_t> message) {
    if (message.size() > 0xFFFF) {
        return std::nullopt;
    }
    Bytes frame{static_cast<std::uint8_t>(message.size() >> 8),
                static_cast<std::uint8_t>(message.size() & 0xFF)};
    frame.insert(frame.end(), message.begin(), message.end());
    return frame;
}

std::uintptr_t CardLink::invalid() {
    return static_cast<std::uintptr_t>(INVALID_SOCKET);
}

CardLink::~CardLink() {
    dropCard();
    if (listener_ != invalid()) {
        ::closesocket(AsSocket(listener_));
    }
}

bool CardLink::listen(std::uint16_t port) {
    WSADATA data;
    if (::WSAStartup(MAKEWORD(2, 2), &data) != 0) {
        return false;
    }
    const SOCKET listener = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (listener == INVALID_SOCKET) {
        return false;
    }
    BOOL on = TRUE;
    ::setsockopt(listener, SOL_SOCKET, SO_REUSEADDR, reinterpret_cast<const char*>(&on), sizeof on);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = ::htons(port);
    address.sin_addr.s_addr = ::htonl(INADDR_LOOPBACK);
    if (::bind(listener, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(listener, 1) != 0) {
        ::closesocket(listener);
        return false;
    }
    listener_ = static_cast<std::uintptr_t>(listener);
    return true;
}

bool CardLink::refresh(unsigned milliseconds) {
    if (card_ != invalid()) {
        // The card never speaks unasked: anything readable is its connection closing.
        char probe = 0;
        if (Readable(AsSocket(card_), 0) && ::recv(AsSocket(card_), &probe, 1, MSG_PEEK) <= 0) {
            dropCard();
        }
    }
    if (card_ == invalid() && listener_ != invalid() &&
        Readable(AsSocket(listener_), milliseconds)) {
        const SOCKET card = ::accept(AsSocket(listener_), nullptr, nullptr);
        if (card != INVALID_SOCKET) {
            BOOL on = TRUE;
            ::setsockopt(card, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&on),
                         sizeof on);
            card_ = static_cast<std::uintptr_t>(card);
        }
    }
    return cardPresent();
}

std::optional<Bytes> CardLink::exchange(std::span<const std::uint8_t> message, bool expectAnswer) {
    const auto frame = EncodeFrame(message);
    if (!frame || card_ == invalid()) {
        return std::nullopt;
    }
    // One write for the whole frame, so the card reads length and bytes at once.
    const int sent = ::send(AsSocket(card_), reinterpret_cast<const char*>(frame->data()),
                            static_cast<int>(frame->size()), 0);
    if (sent != static_cast<int>(frame->size())) {
        dropCard();
        return std::nullopt;
    }
    if (!expectAnswer) {
        return Bytes{};
    }
    std::uint8_t header[2];
    if (!readExactly(header, sizeof header)) {
        return std::nullopt;
    }
    Bytes answer(static_cast<std::size_t>(header[0] << 8 | header[1]));
    if (!answer.empty() && !readExactly(answer.data(), answer.size())) {
        return std::nullopt;
    }
    return answer;
}

bool CardLink::readExactly(std::uint8_t* buffer, std::size_t size) {
    std::size_t done = 0;
    while (done < size) {
        const int n = ::recv(AsSocket(card_), reinterpret_cast<char*>(buffer + done),
                             static_cast<int>(size - done), 0);
        if (n <= 0) {
            dropCard();
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

void CardLink::dropCard() {
    if (card_ != invalid()) {
        ::closesocket(AsSocket(card_));
        card_ = invalid();
    }
}

} // namespace testpcsc
