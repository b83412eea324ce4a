#pragma once

#include "editor/sim/CardFacts.h"
#include "editor/sim/LibraryCardPort.h"

#include <memory>
#include <optional>
#include <string>

namespace tarvik {

// The card in one named reader, through a library session of its own: its connection is
// nobody else's, and what befalls it (the card pulled, the reader gone) reaches no other
// port. A port is used by one thread at a time; ports on different readers work at once.
// Destroying the port closes its connection and its session.
class ReaderCardPort final : public LibraryCardPort {
public:
    explicit ReaderCardPort(std::string reader);
    ~ReaderCardPort() override;
    ReaderCardPort(const ReaderCardPort&) = delete;
    ReaderCardPort& operator=(const ReaderCardPort&) = delete;

    const std::string& reader() const;
    // The kind of card, its reader and answer-to-reset, as SimCardFacts tells them of the
    // default session; nothing when not connected.
    std::optional<CardFacts> facts();

private:
    struct Session;
    explicit ReaderCardPort(std::unique_ptr<Session> session);

    std::unique_ptr<Session> session_;
};

} // namespace tarvik
