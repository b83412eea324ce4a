#include "simlib/CardCommands.h"

#include "simlib/tests/LibraryFixture.h"

#include <optional>

namespace quenlib::fake {
namespace {

class CardCommandsTest : public LibraryTest {
protected:
    Connection connection{1, Protocol::T0};

    void answerAlways(Bytes reply) {
        card.answer = [reply](const Bytes&) { return std::optional<Bytes>(reply); };
    }
};

TEST_F(CardCommandsTest, ReceiveBuffersHoldAnyAnswer) {
    const Bytes data{0x7F, 0x10};
    transmit(connection, {0xC0, 0, 0, 0}, std::nullopt);
    transmit(connection, {0xB2, 1, 4, 28}, std::nullopt);
    transmit(connection, {0xA4, 0, 0, 2}, std::span(data));
    transmit(connection, {0x04, 0, 0, 0}, std::span(data));
    ASSERT_EQ(card.sent.size(), 4u);
    EXPECT_EQ(hex(card.sent[0]), "A0 C0 00 00 00");
    EXPECT_EQ(hex(card.sent[1]), "A0 B2 01 04 1C");
    EXPECT_EQ(hex(card.sent[2]), "A0 A4 00 00 02 7F 10");
    // A data pointer with P3 = 0 sends the header alone.
    EXPECT_EQ(hex(card.sent[3]), "A0 04 00 00");
    // 256 data bytes and the status word, whatever the command: a T=1 reader hands out a
    // SELECT's answer at once, a T=0 card may answer a write with 61 xx.
    EXPECT_EQ(card.declaredReceive, (std::vector<std::size_t>{258, 258, 258, 258}));
}

TEST_F(CardCommandsTest, TransmitSucceedsWhateverTheStatusWordButFailsWithPcsc) {
    answerAlways({0x6F, 0x00});
    const auto response = transmit(connection, {0xC0, 0, 0, 4}, std::nullopt);
    ASSERT_TRUE(response);
    EXPECT_EQ(response->count, 2u);
    card.transmitFailure = [](const Bytes&) { return std::optional<PcscCode>(kPcscRemovedCard); };
    EXPECT_FALSE(transmit(connection, {0xC0, 0, 0, 4}, std::nullopt));
}

TEST_F(CardCommandsTest, SelectSucceedsOnlyOnResponseWaiting) {
    struct Case {
        Bytes answer;
        std::optional<std::uint8_t> length;
    };
    const Case cases[] = {
        {{0x9F, 0x1A}, 0x1A},         {{0x9F, 0x00}, 0x00},   {{0x90, 0x00}, std::nullopt},
        {{0x6A, 0x82}, std::nullopt}, {{0x9F}, std::nullopt}, {{}, std::nullopt},
    };
    for (const Case& c : cases) {
        answerAlways(c.answer);
        EXPECT_EQ(selectFile(connection, 0x6F3A), c.length) << hex(c.answer);
    }
    EXPECT_EQ(hex(card.sent.back()), "A0 A4 00 00 02 6F 3A");
}

TEST_F(CardCommandsTest, ReadRecordNeedsTheWholeRecordAndANormalEnding) {
    struct Case {
        Bytes answer;
        bool ok;
    };
    const Case cases[] = {
        {{0x01, 0x02, 0x03, 0x90, 0x00}, true},
        // GSM 11.11 §9.4.1: 91 xx is a normal ending with a proactive command waiting.
        {{0x01, 0x02, 0x03, 0x91, 0x00}, true},
        {{0x01, 0x02, 0x90, 0x00}, false}, // a byte short
        {{0x90, 0x00}, false},
        {{0x94, 0x02}, false},
        {{0x00}, false},
    };
    for (const Case& c : cases) {
        answerAlways(c.answer);
        EXPECT_EQ(readRecord(connection, 5, 3).has_value(), c.ok) << hex(c.answer);
    }
    EXPECT_EQ(hex(card.sent.back()), "A0 B2 05 04 03");
}

TEST_F(CardCommandsTest, UpdateRecordNeedsNinetyHundred) {
    const Bytes data{0x11, 0x22};
    answerAlways({0x90, 0x00});
    EXPECT_TRUE(updateRecord(connection, 0xFF, data));
    EXPECT_EQ(hex(card.sent.back()), "A0 DC FF 04 02 11 22");
    answerAlways({0x98, 0x04});
    EXPECT_FALSE(updateRecord(connection, 1, data));
    answerAlways({0x90});
    EXPECT_FALSE(updateRecord(connection, 1, data));
}

TEST_F(CardCommandsTest, RecordNumberZeroIsNeverSent) {
    // In absolute mode record 0 addresses the current record, not a numbered one.
    const Bytes data{0x11, 0x22};
    answerAlways({0x01, 0x02, 0x90, 0x00});
    EXPECT_FALSE(readRecord(connection, 0, 2));
    EXPECT_FALSE(updateRecord(connection, 0, data));
    EXPECT_TRUE(card.sent.empty());
}

TEST_F(CardCommandsTest, RecordNumbersAreIndexPlusOneCutToEightBits) {
    EXPECT_EQ(recordNumber(0), 1);
    EXPECT_EQ(recordNumber(254), 255);
    EXPECT_EQ(recordNumber(255), 0);
    EXPECT_EQ(recordNumber(0x1FF), 0);
}

Bytes fileInformation(unsigned size, std::uint8_t recordLength, std::size_t bytes = 15) {
    Bytes answer(bytes, 0x00);
    if (bytes >= 4) {
        answer[2] = static_cast<std::uint8_t>(size >> 8);
        answer[3] = static_cast<std::uint8_t>(size & 0xFF);
    }
    if (bytes >= 15) {
        answer[14] = recordLength;
    }
    answer.push_back(0x90);
    answer.push_back(0x00);
    return answer;
}

TEST_F(CardCommandsTest, FileInformationGivesRecordLengthAndCount) {
    struct Case {
        Bytes answer;
        std::optional<int> count;
        unsigned length;
    };
    const Case cases[] = {
        {fileInformation(300, 28), 10, 28},
        {fileInformation(250 * 28, 28), 250, 28},
        // Record numbers are one byte: 256 records and more are used as 255, never wrapped.
        {fileInformation(300 * 28, 28), 255, 28},
        {fileInformation(256 * 28, 28), 255, 28},
        {fileInformation(0, 13), 0, 13},
        // A record length of 0 or an answer without byte 15 fails the step.
        {fileInformation(300, 0), std::nullopt, 0},
        {fileInformation(300, 28, 14), std::nullopt, 0},
        {fileInformation(300, 28, 2), std::nullopt, 0},
        {Bytes{0x90, 0x00}, std::nullopt, 0},
    };
    for (const Case& c : cases) {
        answerAlways(c.answer);
        const auto geometry = readFileInformation(connection, 0x0F);
        ASSERT_EQ(geometry.has_value(), c.count.has_value()) << hex(c.answer);
        if (geometry) {
            EXPECT_EQ(geometry->recordCount, *c.count);
            EXPECT_EQ(geometry->recordLength, c.length);
        }
    }
    EXPECT_EQ(hex(card.sent.back()), "A0 C0 00 00 0F");
}

TEST_F(CardCommandsTest, FileInformationFailsWhenGetResponseFails) {
    card.transmitFailure = [](const Bytes&) { return std::optional<PcscCode>(kPcscRemovedCard); };
    EXPECT_FALSE(readFileInformation(connection, 0x0F));
}

} // namespace
} // namespace quenlib::fake
