#include "simlib/Session.h"

#include "simlib/CaseModule.h"
#include "simlib/LibraryState.h"
#include "simlib/ReaderName.h"

#include <optional>
#include <string>
#include <utility>

namespace quenlib {

namespace {

bool isT0OrT1(Protocol protocol) {
    return protocol == Protocol::T0 || protocol == Protocol::T1;
}

// Connects exclusively; a card that came up with a protocol other than T=0 or T=1 gets
// one more chance: a shared connection, ejected at once, then another exclusive one.
// `connection` is set only when a T=0 or T=1 connection stands.
PcscCode connectExclusive(CardBackend& cards, ContextHandle context, const std::string& reader,
                          Connection& connection) {
    CardHandle card = 0;
    Protocol protocol = Protocol::Undefined;
    PcscCode result = cards.connect(context, reader, ShareMode::Exclusive, card, protocol);
    if (result != kPcscSuccess) {
        return result;
    }
    if (!isT0OrT1(protocol)) {
        // The first handle is not used again; release it so that it does not hold the
        // reader against the next attempts.
        cards.disconnect(card, Disposition::LeaveCard);
        CardHandle shared = 0;
        result = cards.connect(context, reader, ShareMode::Shared, shared, protocol);
        if (result != kPcscSuccess) {
            return result;
        }
        cards.disconnect(shared, Disposition::EjectCard);
        result = cards.connect(context, reader, ShareMode::Exclusive, card, protocol);
        if (result != kPcscSuccess) {
            return result;
        }
        if (!isT0OrT1(protocol)) {
            // No usable protocol: a failure that carries no PC/SC code.
            cards.disconnect(card, Disposition::LeaveCard);
            return kPcscSuccess;
        }
    }
    connection = Connection{card, protocol};
    return kPcscSuccess;
}

// What the library knew of the card's records holds for one connection only: between two
// connections the card may have been changed elsewhere, or be another card.
void forgetCardContents(LibraryState& s) {
    s.knownAdnRecords.clear();
    s.ext1ImageCurrent = false;
    // Another card may answer in another mode and keep its files elsewhere.
    s.mode = CardMode::Unknown;
    s.lastRefusal = 0;
    s.knownGeometry.clear();
    s.usimAid.clear();
    s.phonebook = PhonebookLocation{};
}

QLRESULT connectFailure(PcscCode code) {
    switch (code) {
    case kPcscRemovedCard:
        return QL_E_CARD_REMOVED;
    case kPcscSharingViolation:
        return QL_E_SHARING;
    default:
        return QL_E_CONNECT;
    }
}

} // namespace

QLRESULT initialise(std::string readerName) {
    LibraryState& s = state();
    s.readerName = std::move(readerName);
    // A second Init keeps the context it has rather than leaking it.
    if (s.context) {
        return QL_OK;
    }
    ContextHandle context = 0;
    if (backend().establishContext(context) != kPcscSuccess) {
        return QL_E_NO_CONTEXT;
    }
    s.context = context;
    // A missing case module only leaves the case record functions without one.
    s.caseModule = CaseModule::load();
    forgetCardPosition();
    return QL_OK;
}

QLRESULT finalise() {
    LibraryState& s = state();
    s.knownAdnRecords.clear();
    s.knownAdnRecords.shrink_to_fit();
    if (s.context) {
        backend().releaseContext(*s.context);
        s.context.reset();
    }
    s.caseModule.reset();
    forgetCardPosition();
    s.caseCardRecognised = false;
    return QL_OK;
}

QLRESULT connectCard() {
    LibraryState& s = state();
    if (!s.context) {
        return QL_E_NO_CONTEXT;
    }
    // A second connect replaces the first connection instead of leaking its handle,
    // which would hold the reader exclusively against the new one.
    disconnectCard();
    CardBackend& cards = backend();
    PcscCode failure = kPcscSuccess;
    const auto reader = resolveReaderName(cards, *s.context, s.readerName, failure);
    if (!reader) {
        return connectFailure(failure);
    }
    Connection connection;
    const PcscCode result = connectExclusive(cards, *s.context, *reader, connection);
    if (result != kPcscSuccess || !isT0OrT1(connection.protocol)) {
        s.connection.reset();
        return connectFailure(result);
    }
    s.connection = connection;
    s.connectedReader = *reader;
    s.position.reset();
    forgetCardContents(s);
    return QL_OK;
}

QLRESULT disconnectCard() {
    LibraryState& s = state();
    if (!s.connection) {
        return QL_OK;
    }
    backend().disconnect(s.connection->card, Disposition::EjectCard);
    s.connection.reset();
    s.connectedReader.clear();
    s.position.reset();
    forgetCardContents(s);
    // The own-number geometry is kept, as are the extension buffers.
    s.adn = FileGeometry{};
    s.ext1 = FileGeometry{};
    s.sms = FileGeometry{};
    return QL_OK;
}

} // namespace quenlib
