// The pcsc-lite backend against the virtual card: reader discovery and one exchange.
#include "simlib/PcscBackend.h"

#include "simlib/CardCommands.h"
#include "simlib/ReaderName.h"
#include "tools/simcard/fixture/VirtualCard.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <vector>

namespace quenlib {
namespace {

class PcscBackendTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(pcsc.establishContext(context), kPcscSuccess); }
    void TearDown() override { pcsc.releaseContext(context); }

    PcscBackend pcsc;
    ContextHandle context = 0;
};

TEST_F(PcscBackendTest, FindsTheCardAndNoticesItsRemoval) {
    simcard::VirtualCard card;
    std::vector<std::string> readers;
    ASSERT_EQ(pcsc.listReaders(context, readers), kPcscSuccess);
    EXPECT_NE(std::find(readers.begin(), readers.end(), card.readerName()), readers.end());
    ReaderStatus status;
    ASSERT_EQ(pcsc.readerStatus(context, card.readerName(), status), kPcscSuccess);
    EXPECT_TRUE(status.present);
    EXPECT_FALSE(status.empty);
    EXPECT_EQ(status.atr, (std::vector<std::uint8_t>{0x3B, 0x02, 0x14, 0x50}));

    // "*" only looks: it names some reader that holds a card, without connecting. Tests in
    // parallel share pcscd, so the reader it names may be another test's, whose card can go
    // between the two calls; only this test's reader is sure to keep its card.
    PcscCode failure = 0;
    const auto any = resolveReaderName(pcsc, context, kAnyReader, failure);
    ASSERT_TRUE(any);
    EXPECT_NE(std::find(readers.begin(), readers.end(), *any), readers.end());
    ASSERT_EQ(pcsc.readerStatus(context, *any, status), kPcscSuccess);
    if (*any == card.readerName()) {
        EXPECT_TRUE(status.present);
    }

    card.remove();
    ASSERT_EQ(pcsc.readerStatus(context, card.readerName(), status), kPcscSuccess);
    EXPECT_FALSE(status.present);
    EXPECT_TRUE(status.empty);
}

TEST_F(PcscBackendTest, ExchangesCommandsOverAnExclusiveConnection) {
    simcard::VirtualCard card;
    CardHandle handle = 0;
    Protocol protocol = Protocol::Undefined;
    ASSERT_EQ(pcsc.connect(context, card.readerName(), ShareMode::Exclusive, handle, protocol),
              kPcscSuccess);
    EXPECT_TRUE(protocol == Protocol::T0 || protocol == Protocol::T1);
    const Connection connection{handle, protocol};
    const auto length = selectFile(connection, kDfTelecom);
    ASSERT_TRUE(length);
    const auto response = getResponse(connection, *length);
    ASSERT_TRUE(response);
    EXPECT_EQ(response->data().size(), *length);

    CardHandle second = 0;
    EXPECT_EQ(pcsc.connect(context, card.readerName(), ShareMode::Shared, second, protocol),
              kPcscSharingViolation);
    EXPECT_EQ(pcsc.disconnect(handle, Disposition::EjectCard), kPcscSuccess);
}

} // namespace
} // namespace quenlib
