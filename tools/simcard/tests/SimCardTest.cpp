#include "tools/simcard/core/SimCard.h"

#include "base/Hex.h"
#include "tools/simcard/tests/CardTestSupport.h"

#include <gtest/gtest.h>

namespace simcard {
namespace {

using testing::code;
using testing::filled;
using testing::send;

const std::string SelectTelecom = "A0A40000027F10";
const std::string SelectAdn = "A0A40000026F3A";
const std::string VerifyPin1 = "A020000108" + code("1234");

CardSettings withCdma() {
    CardSettings s;
    s.cdmaDirectory = true;
    return s;
}

// The DF response waiting after SELECT, as hex.
std::string directoryResponse(SimCard& card, const std::string& selectCommand) {
    send(card, selectCommand);
    auto answer = send(card, "A0C0000016");
    return answer.substr(0, answer.size() - 4);
}

// One byte (1-based, as GSM 11.11 numbers them) of a response in hex.
std::string byteAt(const std::string& hex, int number) {
    return hex.substr(static_cast<std::size_t>(2 * (number - 1)), 2);
}

TEST(SelectTest, FollowsTheSelectionRules) {
    struct Case {
        const char* name;
        CardSettings settings;
        std::vector<std::string> before;
        std::string select;
        std::string expected;
    };
    CardSettings noExt1;
    noExt1.ext1Records = -1;
    const Case cases[] = {
        {"MF from MF", {}, {}, "3F00", "9F16"},
        {"DF Telecom from MF", {}, {}, "7F10", "9F16"},
        {"EF below a DF is not a child of the MF", {}, {}, "6F3A", "9404"},
        {"EF ADN in DF Telecom", {}, {"7F10"}, "6F3A", "9F0F"},
        {"EF EXT1 in DF Telecom", {}, {"7F10"}, "6F4A", "9F0F"},
        {"EF SMS in DF Telecom", {}, {"7F10"}, "6F3C", "9F0F"},
        {"EF MSISDN in DF Telecom", {}, {"7F10"}, "6F40", "9F0F"},
        {"missing EF EXT1", noExt1, {"7F10"}, "6F4A", "9404"},
        {"parent MF from DF", {}, {"7F10"}, "3F00", "9F16"},
        {"current DF again", {}, {"7F10", "6F3A"}, "7F10", "9F16"},
        {"sibling EF with an EF selected", {}, {"7F10", "6F3A"}, "6F4A", "9F0F"},
        {"CDMA directory absent", {}, {}, "7F25", "9404"},
        {"CDMA directory present", withCdma(), {}, "7F25", "9F16"},
        {"DF GSM", {}, {}, "7F20", "9F16"},
        {"DF GSM beside DF Telecom", {}, {"7F10"}, "7F20", "9F16"},
        {"EF ICCID under the MF", {}, {}, "2FE2", "9F0E"},
        {"EF ICCID is not in DF Telecom", {}, {"7F10"}, "2FE2", "9404"},
        {"sibling DF", withCdma(), {"7F10"}, "7F25", "9F16"},
        {"EF SMS of the CDMA directory", withCdma(), {"7F25"}, "6F3C", "9F0F"},
        {"no EF ADN in the CDMA directory", withCdma(), {"7F25"}, "6F3A", "9404"},
        {"no EF EXT1 in the CDMA directory", withCdma(), {"7F25"}, "6F4A", "9404"},
        {"unknown file", {}, {"7F10"}, "6F07", "9404"},
    };
    for (const auto& c : cases) {
        SimCard card(CardImage::create(c.settings));
        for (const auto& id : c.before)
            ASSERT_EQ(send(card, "A0A4000002" + id).substr(0, 2), "9F") << c.name;
        EXPECT_EQ(send(card, "A0A4000002" + c.select), c.expected) << c.name;
    }
}

TEST(SelectTest, FailedSelectionKeepsTheCurrentFile) {
    SimCard card(CardImage::create({}));
    send(card, SelectTelecom);
    send(card, SelectAdn);
    send(card, VerifyPin1);
    EXPECT_EQ(send(card, "A0A40000026F07"), "9404");
    EXPECT_EQ(send(card, "A0B201041C"), filled(28, "FF") + "9000");
}

TEST(CommandTest, RefusesMalformedCommands) {
    const std::pair<const char*, const char*> cases[] = {
        {"A4A40000027F10", "6E00"},   // class other than A0
        {"A0A40100027F10", "6B00"},   // SELECT with P1 01
        {"A0A4000003007F10", "6702"}, // SELECT of three bytes
        {"A0A40000017F", "6702"},     // SELECT of one byte
        {"A0A40000027F", "6700"},     // fewer data bytes than P3
        {"A0A4", "6700"},             // shorter than a header
        {"A0FF000000", "6D00"},       // unknown instruction
        {"A0B0000001", "9400"},       // READ BINARY without a file
        {"A0B201041C", "9400"},       // READ RECORD without a file
        {"A0DC01041C00", "6700"},     // UPDATE RECORD with one of 28 bytes
        {"A0C000000F", "6700"},       // GET RESPONSE with nothing waiting
        {"A0C001000F", "6B00"},       // GET RESPONSE with P1 01
    };
    for (auto [command, expected] : cases) {
        SimCard card(CardImage::create({}));
        EXPECT_EQ(send(card, command), expected) << command;
    }
}

TEST(CommandTest, TransparentAndCyclicCommandsDoNotFitLinearFixedFiles) {
    SimCard card(CardImage::create({}));
    send(card, SelectTelecom);
    send(card, SelectAdn);
    for (const char* command : {"A0B000000A", "A0D6000001FF", "A0A2000001FF", "A032000003000001"})
        EXPECT_EQ(send(card, command), "9408") << command;
}

TEST(ResponseTest, DirectoryResponseCarriesCodeStatus) {
    SimCard card(CardImage::create({}));
    auto r = directoryResponse(card, SelectTelecom);
    ASSERT_EQ(r.size(), 44u);
    EXPECT_EQ(r.substr(8, 4), "7F10"); // bytes 5-6: file id
    EXPECT_EQ(byteAt(r, 7), "02");     // DF
    EXPECT_EQ(byteAt(r, 13), "09");    // bytes 14 to 22 follow
    EXPECT_EQ(byteAt(r, 14), "00");    // CHV1 enabled
    EXPECT_EQ(byteAt(r, 15), "00");    // no DFs below
    EXPECT_EQ(byteAt(r, 16), "04");    // four EFs
    EXPECT_EQ(r.substr(36, 8), "838A838A");

    auto mf = directoryResponse(card, "A0A40000023F00");
    EXPECT_EQ(mf.substr(8, 6), "3F0001");
    EXPECT_EQ(byteAt(mf, 15), "02"); // DF Telecom, DF GSM
    EXPECT_EQ(byteAt(mf, 16), "01"); // EF ICCID
}

TEST(ResponseTest, DirectoryResponseFollowsChvState) {
    CardSettings disabled;
    disabled.pin1Enabled = false;
    SimCard card(CardImage::create(disabled));
    EXPECT_EQ(byteAt(directoryResponse(card, SelectTelecom), 14), "80");

    SimCard enabled(CardImage::create({}));
    send(enabled, "A020000108" + code("9999"));
    send(enabled, "A020000208" + code("9999"));
    send(enabled, "A02C000010" + code("0000") + code("1111"));
    auto r = directoryResponse(enabled, SelectTelecom);
    EXPECT_EQ(r.substr(36, 8), "8289828A"); // CHV1 2 left, PUK1 9, CHV2 2, PUK2 10
}

TEST(ResponseTest, ElementaryFileResponseGivesSizeAndRecordLength) {
    struct Case {
        std::string select;
        std::string expected;
    };
    CardSettings s;
    s.adnRecords = 100;
    s.adnRecordLength = 30;
    s.ext1Records = 0;
    // Bytes 9 to 11 are the access conditions of GSM 11.11, 10.5: EF ADN is invalidated and
    // rehabilitated with CHV2 (22), the others administratively (44).
    const Case cases[] = {
        {SelectAdn, "00000BB86F3A040011FF220102011E"},
        {"A0A40000026F4A", "000000006F4A040011FF440102010D"},
        {"A0A40000026F3C", "000006E06F3C040011FF44010201B0"},
        {"A0A40000026F40", "000000386F40040011FF440102011C"},
    };
    for (const auto& c : cases) {
        SimCard card(CardImage::create(s));
        send(card, SelectTelecom);
        EXPECT_EQ(send(card, c.select), "9F0F");
        EXPECT_EQ(send(card, "A0C000000F"), c.expected + "9000") << c.select;
    }
}

TEST(GetResponseTest, ReturnsAtMostWhatIsWaiting) {
    SimCard card(CardImage::create({}));
    send(card, SelectTelecom);
    EXPECT_EQ(send(card, "A0C0000017"), "6716"); // one more than waiting
    EXPECT_EQ(send(card, "A0C0000000"), "6716"); // 00 asks for 256
    EXPECT_EQ(send(card, "A0C0000006"), "000000007F109000");
    EXPECT_EQ(send(card, "A0C0000016").size(), 2u * 22 + 4); // still waiting after a read
    send(card, "A0F2000016");                                // any other command
    EXPECT_EQ(send(card, "A0C0000016"), "6700");
}

TEST(StatusTest, DescribesTheCurrentDirectory) {
    SimCard card(CardImage::create({}));
    send(card, SelectTelecom);
    send(card, SelectAdn);
    auto status = send(card, "A0F2000016");
    EXPECT_EQ(status.substr(8, 4), "7F10");
    EXPECT_EQ(status.substr(status.size() - 4), "9000");
    EXPECT_EQ(send(card, "A0F2000017"), "6716");
}

class RecordTest : public ::testing::Test {
protected:
    RecordTest() : card(CardImage::create(settings())) {
        send(card, VerifyPin1);
        send(card, SelectTelecom);
        send(card, "A0A40000026F40"); // EF MSISDN: 3 records of 14 bytes
        for (int r = 1; r <= 3; ++r)
            send(card, "A0DC0" + std::to_string(r) + "040E" + filled(14, "0" + std::to_string(r)));
    }
    static CardSettings settings() {
        CardSettings s;
        s.msisdnRecords = 3;
        s.msisdnRecordLength = 14;
        return s;
    }
    static std::string record(int r) { return filled(14, "0" + std::to_string(r)) + "9000"; }

    SimCard card;
};

TEST_F(RecordTest, AbsoluteModeReadsTheNumberedRecord) {
    EXPECT_EQ(send(card, "A0B202040E"), record(2));
    EXPECT_EQ(send(card, "A0B203040E"), record(3));
    EXPECT_EQ(send(card, "A0B204040E"), "9402");
    EXPECT_EQ(send(card, "A0B2FF040E"), "9402");
    EXPECT_EQ(send(card, "A0B201040F"), "670E");
    EXPECT_EQ(send(card, "A0B2010400"), "670E");
    EXPECT_EQ(send(card, "A0B201050E"), "6B00");
}

TEST_F(RecordTest, AbsoluteAndCurrentModesLeaveTheRecordPointer) {
    // GSM 11.11, 8.5 and 8.6: reading or updating in absolute mode does not change the record
    // pointer, so NEXT still starts from where NEXT and PREVIOUS left it.
    send(card, "A0A40000026F40");
    EXPECT_EQ(send(card, "A0B203040E"), record(3));
    EXPECT_EQ(send(card, "A0B200040E"), "9402"); // still no current record
    EXPECT_EQ(send(card, "A0B200020E"), record(1));
    EXPECT_EQ(send(card, "A0B203040E"), record(3));
    EXPECT_EQ(send(card, "A0DC03040E" + filled(14, "03")), "9000");
    EXPECT_EQ(send(card, "A0B200040E"), record(1)); // current: still record 1
    EXPECT_EQ(send(card, "A0B200020E"), record(2));
}

TEST(RecordPointerTest, AbsoluteReadOfRecordFiveThenNextGivesRecordOne) {
    CardSettings s;
    s.pin1Enabled = false;
    SimCard card(CardImage::create(s));
    send(card, SelectTelecom);
    send(card, SelectAdn);
    send(card, "A0DC01041C" + filled(28, "01"));
    send(card, "A0DC05041C" + filled(28, "05"));
    EXPECT_EQ(send(card, "A0B205041C"), filled(28, "05") + "9000");
    EXPECT_EQ(send(card, "A0B200021C"), filled(28, "01") + "9000");
}

TEST_F(RecordTest, NextPreviousAndCurrentMoveTheRecordPointer) {
    send(card, "A0A40000026F40");                // a new selection clears the pointer
    EXPECT_EQ(send(card, "A0B200040E"), "9402"); // no current record yet
    EXPECT_EQ(send(card, "A0B200020E"), record(1));
    EXPECT_EQ(send(card, "A0B200020E"), record(2));
    EXPECT_EQ(send(card, "A0B200040E"), record(2));
    EXPECT_EQ(send(card, "A0B200020E"), record(3));
    EXPECT_EQ(send(card, "A0B200020E"), "9402"); // no wrap in a linear fixed file
    EXPECT_EQ(send(card, "A0B200030E"), record(2));
    EXPECT_EQ(send(card, "A0B200030E"), record(1));
    EXPECT_EQ(send(card, "A0B200030E"), "9402");

    send(card, "A0A40000026F40");
    EXPECT_EQ(send(card, "A0B200030E"), record(3)); // previous starts at the last
}

TEST_F(RecordTest, NextAndPreviousDoNotInterpretP1) {
    // GSM 11.11, 9.2.5: P1 is the record number only in absolute mode.
    send(card, "A0A40000026F40");
    EXPECT_EQ(send(card, "A0B203020E"), record(1));
    EXPECT_EQ(send(card, "A0B2FF020E"), record(2));
    EXPECT_EQ(send(card, "A0B201030E"), record(1));
    EXPECT_EQ(send(card, "A0DC07020E" + filled(14, "BB")), "9000");
    EXPECT_EQ(send(card, "A0B202040E"), filled(14, "BB") + "9000");
}

TEST_F(RecordTest, UpdateChecksLengthAndRange) {
    EXPECT_EQ(send(card, "A0DC04040E" + filled(14, "AA")), "9402");
    EXPECT_EQ(send(card, "A0DC01040D" + filled(13, "AA")), "670E");
    EXPECT_EQ(send(card, "A0DC01040E" + filled(13, "AA")), "6700");
    // Current mode without a record pointer: the updates above were all absolute.
    EXPECT_EQ(send(card, "A0DC00040E" + filled(14, "AA")), "9402");
    EXPECT_EQ(send(card, "A0B200030E"), record(3)); // PREVIOUS: the last record
    EXPECT_EQ(send(card, "A0DC00040E" + filled(14, "AA")), "9000");
    EXPECT_EQ(send(card, "A0B203040E"), filled(14, "AA") + "9000");
    EXPECT_EQ(tarvik::ToHex(card.image().records({DfTelecom, EfMsisdn})[2]), filled(14, "AA"));
}

TEST(TransparentFileTest, IccidIsReadableAlwaysAndNeverUpdated) {
    SimCard card(CardImage::create({})); // CHV1 enabled and not verified
    EXPECT_EQ(send(card, "A0A40000022FE2"), "9F0E");
    // GSM 11.11, 10.1.1: transparent, 10 bytes, READ ALW, UPDATE NEV.
    EXPECT_EQ(send(card, "A0C000000E"), "0000000A2FE204000FFF44010100" + std::string("9000"));
    EXPECT_EQ(send(card, "A0B000000A"), "989400000000000010F79000");
    EXPECT_EQ(send(card, "A0B0000804"), "6702");
    EXPECT_EQ(send(card, "A0B0000A01"), "6B00");
    EXPECT_EQ(send(card, "A0D6000001FF"), "9804");
    EXPECT_EQ(send(card, "A0B201040A"), "9408");
    send(card, SelectTelecom);
    send(card, SelectAdn);
    EXPECT_EQ(send(card, "A0B0000001"), "9408");
}

TEST(TransparentFileTest, IccidDigitsAreSwappedNibblesWithFillerOrTheFileIsMissing) {
    // GSM 11.11, 10.1.1: two digits a byte, low nibble first; F fills an odd count.
    struct Case {
        std::optional<std::string> iccid;
        std::string select;
        std::string read;
    };
    const std::vector<Case> cases = {
        {"89390100123456789012", "9F0E",
         "98931000214365870921"
         "9000"},
        {"123", "9F0E",
         "21F3FFFFFFFFFFFFFFFF"
         "9000"},
        // No EF ICCID: "file not found" (9.4.4), and reading with no EF selected fails.
        {std::nullopt, "9404", "9400"},
    };
    for (const Case& c : cases) {
        CardSettings settings;
        settings.iccid = c.iccid;
        SimCard card(CardImage::create(settings));
        EXPECT_EQ(send(card, "A0A40000022FE2"), c.select) << c.iccid.value_or("none");
        EXPECT_EQ(send(card, "A0B000000A"), c.read) << c.iccid.value_or("none");
    }
}

TEST(RecordIoTest, FilesWithoutRecordsAreOutOfRange) {
    CardSettings s;
    s.ext1Records = 0;
    SimCard card(CardImage::create(s));
    send(card, VerifyPin1);
    send(card, SelectTelecom);
    send(card, "A0A40000026F4A");
    EXPECT_EQ(send(card, "A0B201040D"), "9402");
    EXPECT_EQ(send(card, "A0B200020D"), "9402");
}

TEST(RecordIoTest, NewImagesHoldEmptyRecords) {
    auto image = CardImage::create(withCdma());
    EXPECT_EQ(tarvik::ToHex(image.records({DfTelecom, EfAdn}).at(249)), filled(28, "FF"));
    EXPECT_EQ(tarvik::ToHex(image.records({DfTelecom, EfExt1}).at(9)), filled(13, "FF"));
    EXPECT_EQ(tarvik::ToHex(image.records({DfTelecom, EfSms}).at(0)), "00" + filled(175, "FF"));
    // A free CDMA record is all 00, and 255 bytes long (3GPP2 C.S0023, EF SMS).
    EXPECT_EQ(tarvik::ToHex(image.records({DfCdma, EfSms}).at(9)), filled(255, "00"));
    EXPECT_EQ(image.records({DfTelecom, EfMsisdn}).size(), 2u);
}

TEST(AccessTest, RecordsNeedChv1WhileItIsEnabled) {
    for (const char* file : {"6F3A", "6F4A", "6F3C", "6F40"}) {
        SimCard card(CardImage::create({}));
        send(card, SelectTelecom);
        send(card, "A0A4000002" + std::string(file));
        auto length = send(card, "A0C000000F").substr(28, 2);
        auto read = "A0B20104" + length;
        auto update = "A0DC0104" + length + filled(std::stoul(length, nullptr, 16), "00");
        EXPECT_EQ(send(card, read), "9804") << file;
        EXPECT_EQ(send(card, update), "9804") << file;
        send(card, VerifyPin1);
        EXPECT_EQ(send(card, update), "9000") << file;
        EXPECT_TRUE(send(card, read).ends_with("9000")) << file;
        card.reset();
        send(card, SelectTelecom);
        send(card, "A0A4000002" + std::string(file));
        EXPECT_EQ(send(card, read), "9804") << "after reset " << file;
    }
}

TEST(AccessTest, DisabledChv1OpensTheRecords) {
    CardSettings s;
    s.pin1Enabled = false;
    SimCard card(CardImage::create(s));
    send(card, SelectTelecom);
    send(card, SelectAdn);
    EXPECT_EQ(send(card, "A0B201041C"), filled(28, "FF") + "9000");
}

TEST(AccessTest, CdmaShortMessagesNeedChv1Too) {
    SimCard card(CardImage::create(withCdma()));
    send(card, "A0A40000027F25");
    send(card, "A0A40000026F3C");
    EXPECT_EQ(send(card, "A0B20104FF"), "9804");
    send(card, VerifyPin1);
    EXPECT_EQ(send(card, "A0B20104FF"), filled(255, "00") + "9000");
}

TEST(AccessTest, ResetReturnsToTheMasterFile) {
    SimCard card(CardImage::create({}));
    send(card, SelectTelecom);
    send(card, SelectAdn);
    card.reset();
    EXPECT_EQ(send(card, "A0B201041C"), "9400");
    EXPECT_EQ(send(card, SelectAdn), "9404");
}

TEST(ContactCaseTest, CardsWithoutTheApplicationDoNotKnowTheCommands) {
    SimCard card(CardImage::create({}));
    EXPECT_EQ(send(card, "A00A000002"), "6D00");
    EXPECT_EQ(send(card, "A009000120"), "6D00");
    EXPECT_EQ(send(card, "A00B000120" + filled(32, "00")), "6D00");
}

TEST(ContactCaseTest, CaseRecordsAreCountedReadAndWrittenByNumber) {
    CardSettings s;
    s.caseCard = true;
    s.caseSlots = 4;
    s.caseRecords[1] = *tarvik::FromHex(filled(32, "AA"), tarvik::HexSpacing::Spaced);
    SimCard card(CardImage::create(s));
    EXPECT_EQ(send(card, "A00A000002"), "00049000");
    EXPECT_EQ(send(card, "A009000020"), filled(32, "FF") + "9000"); // free
    EXPECT_EQ(send(card, "A009000120"), filled(32, "AA") + "9000");
    EXPECT_EQ(send(card, "A009000420"), "9402");
    EXPECT_EQ(send(card, "A009010020"), "9402");
    EXPECT_EQ(send(card, "A009000110"), "6720");
    EXPECT_EQ(send(card, "A00A000102"), "6B00");
    EXPECT_EQ(send(card, "A00A000004"), "6702");

    EXPECT_EQ(send(card, "A00B000320" + filled(32, "BB")), "9000");
    EXPECT_EQ(send(card, "A009000320"), filled(32, "BB") + "9000");
    EXPECT_EQ(send(card, "A00B000120" + filled(32, "FF")), "9000"); // frees it
    EXPECT_EQ(card.image().caseRecords().size(), 1u);
    EXPECT_EQ(send(card, "A00B000420" + filled(32, "BB")), "9402");
    EXPECT_EQ(send(card, "A00B000310" + filled(16, "BB")), "6720");
}

TEST(ContactCaseTest, CaseRecordsAloneMakeACaseCardWithRoomForThem) {
    CardSettings s;
    s.caseSlots = 0;
    s.caseRecords[0x0102] = *tarvik::FromHex(filled(32, "BB"), tarvik::HexSpacing::Spaced);
    SimCard card(CardImage::create(s));
    EXPECT_EQ(send(card, "A00A000002"), "01039000");
    EXPECT_EQ(send(card, "A009010220"), filled(32, "BB") + "9000");
}

TEST(ContactCaseTest, FailedSaveUndoesTheWrite) {
    CardSettings s;
    s.caseCard = true;
    SimCard card(CardImage::create(s), [](const CardImage&) { return false; });
    EXPECT_EQ(send(card, "A00B000020" + filled(32, "BB")), "9240");
    EXPECT_EQ(send(card, "A009000020"), filled(32, "FF") + "9000");
}

} // namespace
} // namespace simcard
