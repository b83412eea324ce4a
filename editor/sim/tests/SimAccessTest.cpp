// The connection and CHV1 through the real PC/SC stack. CHV1 behaves as GSM 11.11 says:
// three presentations (9.3, CHV1 status byte of the DF response 9.2.1), each wrong one
// counts down (9.2.9 to 9.2.11), and DISABLE CHV with the right code turns it off for good
// (9.2.10).
#include "editor/sim/SimAccess.h"

#include "editor/sim/tests/SimCardFixture.h"

#include <cstdlib>
#include <gtest/gtest.h>

namespace tarvik::testing {
namespace {

class SimAccessTest : public SimCardTest {};

TEST_F(SimAccessTest, WrongPinCountsDownAndTheRightOneDisablesIt) {
    StartCard(simcard::CardOptions{}); // CHV1 enabled, code 1234
    SimConnect();
    ASSERT_TRUE(SimIsConnected());
    EXPECT_EQ(SimPinEnabled(), true);
    EXPECT_EQ(SimPinRemaining(), 3);
    EXPECT_EQ(QueryCardAccess(), CardAccess::NeedsPin);

    EXPECT_FALSE(SimDisablePin("0000"));
    EXPECT_EQ(SimPinRemaining(), 2);
    EXPECT_EQ(QueryCardAccess(), CardAccess::NeedsPin);

    EXPECT_TRUE(SimDisablePin("1234"));
    EXPECT_EQ(SimPinEnabled(), false);
    EXPECT_EQ(QueryCardAccess(), CardAccess::Ready);
    EXPECT_FALSE(Image().chv1Enabled());

    // Later sessions find it disabled.
    SimDisconnect();
    SimConnect();
    EXPECT_EQ(QueryCardAccess(), CardAccess::Ready);
}

TEST_F(SimAccessTest, ThreeWrongPinsBlockTheCard) {
    StartCard(simcard::CardOptions{});
    SimConnect();
    for (const char* wrong : {"1111", "2222", "3333"}) {
        EXPECT_FALSE(SimDisablePin(wrong));
    }
    EXPECT_EQ(SimPinRemaining(), 0);
    EXPECT_EQ(QueryCardAccess(), CardAccess::Blocked);
    // A blocked CHV1 refuses even the right code.
    EXPECT_FALSE(SimDisablePin("1234"));
    EXPECT_EQ(SimPinEnabled(), true);
}

TEST_F(SimAccessTest, NoCardMeansNotFound) {
    StartCard(); // a card, but in another reader
    ::setenv("QUENLIB_READER", "No Such Reader 00 00", 1);
    SimConnect();
    EXPECT_FALSE(SimIsConnected());
    EXPECT_EQ(QueryCardAccess(), CardAccess::NotFound);
    // Each command tries again; nothing changes and nothing breaks.
    SimConnect();
    EXPECT_FALSE(SimIsConnected());
    SimDisconnect();
    SimDisconnect();
}

TEST_F(SimAccessTest, CardPutInAfterAFailedConnectIsFoundByTheNextCommand) {
    StartCard();
    card->remove();
    SimConnect();
    EXPECT_FALSE(SimIsConnected());
    card->insert();
    SimConnect();
    EXPECT_TRUE(SimIsConnected());
    EXPECT_EQ(QueryCardAccess(), CardAccess::Ready);
}

} // namespace
} // namespace tarvik::testing
