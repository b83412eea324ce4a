#include "editor/sim/NoCardReason.h"

#include <gtest/gtest.h>

namespace tarvik {
namespace {

// What the PC/SC resource manager reports: SCardEstablishContext fails with
// SCARD_E_NO_SERVICE without the service, SCardListReaders gives
// SCARD_E_NO_READERS_AVAILABLE without readers, and a reader's state carries
// SCARD_STATE_PRESENT while it holds a card.
TEST(NoCardReasonTest, ReasonFollowsWhatTheServiceTells) {
    const ReaderListing noService{{}, "no PC/SC service: Service not available.", true};
    const ReaderListing otherError{{}, "cannot list the card readers: Internal error.", false};
    const ReaderListing none{};
    const ReaderListing empty{
        {{"Virtual PCD 00 00", false}, {"Virtual PCD 00 01", false}}, {}, false};
    const ReaderListing oneCard{
        {{"Virtual PCD 00 00", false}, {"Virtual PCD 00 01", true}}, {}, false};
    const std::optional<std::string> any;
    const struct {
        const char* what;
        const ReaderListing& listing;
        std::optional<std::string> reader;
        NoCardKind kind;
    } cases[] = {
        {"no service", noService, any, NoCardKind::NoService},
        {"no service, reader named", noService, "Virtual PCD 00 00", NoCardKind::NoService},
        {"listing failed", otherError, any, NoCardKind::NotASim},
        {"no readers", none, any, NoCardKind::NoReaders},
        {"no readers, reader named", none, "Virtual PCD 00 00", NoCardKind::NoReaders},
        {"readers without cards", empty, any, NoCardKind::NoCard},
        {"named reader without card", oneCard, "Virtual PCD 00 00", NoCardKind::NoCard},
        {"named reader with a card", oneCard, "Virtual PCD 00 01", NoCardKind::NotASim},
        {"a card somewhere", oneCard, any, NoCardKind::NotASim},
        {"named reader missing", oneCard, "Other 00 00", NoCardKind::ReaderMissing},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const NoCardReason reason = WhyNoCard(c.listing, c.reader);
        EXPECT_EQ(reason.kind, c.kind);
        EXPECT_EQ(reason.reader, c.kind == NoCardKind::ReaderMissing ? *c.reader : "");
    }
}

} // namespace
} // namespace tarvik
