#include "editor/sim/ReaderCardPort.h"

#include "editor/sim/LibraryCard.h"
#include "editor/sim/SessionCalls.h"

#include <utility>

namespace tarvik {

struct ReaderCardPort::Session {
    explicit Session(std::string reader) : calls(std::move(reader)) {}

    SessionCalls calls;
    LibraryCard card{calls};
};

ReaderCardPort::ReaderCardPort(std::string reader)
    : ReaderCardPort(std::make_unique<Session>(std::move(reader))) {}

// The base keeps a reference to the session's card, which the member then owns.
ReaderCardPort::ReaderCardPort(std::unique_ptr<Session> session)
    : LibraryCardPort(session->card), session_(std::move(session)) {}

ReaderCardPort::~ReaderCardPort() {
    session_->card.disconnect();
}

const std::string& ReaderCardPort::reader() const {
    return session_->calls.reader();
}

std::optional<CardFacts> ReaderCardPort::facts() {
    return session_->card.cardFacts();
}

} // namespace tarvik
