#include "simlib/tests/AdnEntries.h"
#include "simlib/tests/CardText.h"
#include "simlib/tests/LibraryFixture.h"

#include <algorithm>
#include <string>

namespace quenlib::fake {
namespace {

constexpr std::uint16_t kAdn = 0x6F3A;
constexpr std::uint16_t kExt1 = 0x6F4A;

class PhonebookTest : public LibraryTest, protected test_support::AdnEntries {
protected:
    void SetUp() override {
        LibraryTest::SetUp();
        card.addFile(kAdn, 28, 20);
        card.addFile(kExt1, 13, 4);
    }

    void connectAndSelect() {
        connect();
        QL_FILE_INFO info{68, 0, 0};
        ASSERT_EQ(QLADN_SelectFile(&info), QL_OK);
    }

    Bytes& ext1Record(int recordNumber) { return card.file(kExt1).records[recordNumber - 1]; }
    Bytes& adnRecord(int recordNumber) { return card.file(kAdn).records[recordNumber - 1]; }
};

const std::u16string k45Digits = u"123456789012345678901234567890123456789012345";

TEST_F(PhonebookTest, SelectReportsGeometryAndLoadsExtensionRecords) {
    card.addFile(kAdn, 30, 250);
    ext1Record(2) =
        Bytes{0x02, 0x01, 0x21, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
    connect();
    QL_FILE_INFO info{68, 0, 0};
    ASSERT_EQ(QLADN_SelectFile(&info), QL_OK);
    EXPECT_EQ(info.size, 68u);
    EXPECT_EQ(info.recordCount, 250u);
    EXPECT_EQ(info.recordLength, 30u);
    uint8_t* buffer = nullptr;
    uint32_t size = 0;
    ASSERT_EQ(QLADN_ReadExt1BufP(&buffer, &size), QL_OK);
    EXPECT_EQ(size, 4u * 13);
    EXPECT_EQ(hex(Bytes(buffer + 13, buffer + 26)), hex(ext1Record(2)));
    EXPECT_EQ(card.sentWith(0xB2).size(), 4u);
}

TEST_F(PhonebookTest, FilesOf256RecordsOrMoreAreUsedAs255) {
    // Record numbers are one byte (GSM 11.11, 9.2.5): the count never wraps to a few records.
    for (unsigned count : {256u, 300u}) {
        card.addFile(kAdn, 28, count);
        card.addFile(kExt1, 13, count);
        card.file(kExt1).records[254] =
            Bytes{0x02, 0x01, 0x99, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
        card.file(kAdn).records[254] = Bytes(28, 0xFF);
        card.file(kAdn).records[254][0] = 'Z';
        connect();
        QL_FILE_INFO info{68, 0, 0};
        ASSERT_EQ(QLADN_SelectFile(&info), QL_OK);
        EXPECT_EQ(info.recordCount, 255u);
        EXPECT_EQ(read(254), "Z=");
        uint8_t* buffer = nullptr;
        uint32_t size = 0;
        ASSERT_EQ(QLADN_ReadExt1BufP(&buffer, &size), QL_OK);
        EXPECT_EQ(size, 255u * 13);
        EXPECT_EQ(buffer[254 * 13 + 2], 0x99);
        QLSIM_Disconnect(nullptr);
        QLSIM_Final();
    }
}

TEST_F(PhonebookTest, SelectFailuresReportTheirStepAndWriteNothing) {
    struct Case {
        const char* what;
        std::function<void()> fault;
        QLRESULT result;
    };
    const auto refuseSelectOf = [this](std::uint8_t high, std::uint8_t low) {
        card.answer = [high, low](const Bytes& apdu) {
            return apdu[1] == 0xA4 && apdu[5] == high && apdu[6] == low
                       ? std::optional<Bytes>(Bytes{0x6A, 0x82})
                       : std::nullopt;
        };
    };
    const Case cases[] = {
        {"DF Telecom missing", [&] { refuseSelectOf(0x7F, 0x10); }, QL_E_SELECT_DF},
        {"ADN missing", [&] { card.removeFile(kAdn); }, QL_E_SELECT_EF},
        {"ADN record length 0", [&] { card.addFile(kAdn, 0, 0); }, QL_E_SELECT_EF},
        {"ADN records too short for a number", [&] { card.addFile(kAdn, 13, 10); }, QL_E_SELECT_EF},
        {"EXT1 record length 0", [&] { card.addFile(kExt1, 0, 0); }, QL_E_SELECT_EF},
        {"EXT1 records shorter than 13", [&] { card.addFile(kExt1, 12, 3); }, QL_E_SELECT_EF},
        {"EXT1 record unreadable",
         [&] {
             card.answer = [](const Bytes& apdu) {
                 return apdu[1] == 0xB2 && apdu[2] == 3 ? std::optional<Bytes>(Bytes{0x94, 0x02})
                                                        : std::nullopt;
             };
         },
         QL_E_SELECT_EF},
        {"short file information",
         [&] {
             card.answer = [](const Bytes& apdu) {
                 return apdu[1] == 0xC0 ? std::optional<Bytes>(Bytes{0x00, 0x00, 0x01, 0x90, 0x00})
                                        : std::nullopt;
             };
         },
         QL_E_SELECT_EF},
    };
    connect();
    for (const Case& c : cases) {
        card.addFile(kAdn, 28, 20);
        card.addFile(kExt1, 13, 4);
        card.answer = nullptr;
        c.fault();
        QL_FILE_INFO info{68, 111, 222};
        EXPECT_EQ(QLADN_SelectFile(&info), c.result) << c.what;
        EXPECT_EQ(info.recordCount, 111u) << c.what;
        EXPECT_EQ(info.recordLength, 222u) << c.what;
    }
}

TEST_F(PhonebookTest, SelectCutShortWhileLoadingExtensionsKeepsBothBuffers) {
    connectAndSelect();
    // Another card comes in whose extension records differ, and the loading of its third
    // record fails: the records read before it must not be taken for the card's own.
    ext1Record(1) = Bytes(13, 0x00);
    card.answer = [](const Bytes& apdu) {
        return apdu[1] == 0xB2 && apdu[2] == 3 ? std::optional<Bytes>(Bytes{0x6F, 0x00})
                                               : std::nullopt;
    };
    QL_FILE_INFO info{};
    ASSERT_EQ(QLADN_SelectFile(&info), QL_E_SELECT_EF);
    card.answer = nullptr;
    card.sent.clear();
    ASSERT_EQ(QLADN_Flush(), QL_OK);
    EXPECT_TRUE(card.sentWith(0xDC).empty());
    EXPECT_EQ(ext1Record(1), Bytes(13, 0x00));
}

TEST_F(PhonebookTest, SelectWithoutExtensionFileKeepsTheBuffersAndCountsNone) {
    connect();
    std::vector<uint8_t> pattern(13 * 4, 0x5A);
    ASSERT_EQ(QLADN_WriteExt1Buf(pattern.data(), static_cast<uint32_t>(pattern.size())), QL_OK);
    card.removeFile(kExt1);
    QL_FILE_INFO info{};
    ASSERT_EQ(QLADN_SelectFile(&info), QL_OK);
    uint8_t* buffer = nullptr;
    uint32_t size = 99;
    ASSERT_EQ(QLADN_ReadExt1BufP(&buffer, &size), QL_OK);
    EXPECT_EQ(size, 0u);
    EXPECT_EQ(buffer[0], 0x5A);
}

TEST_F(PhonebookTest, WritesAndReadsEntries) {
    connectAndSelect();
    struct Case {
        std::u16string name;
        std::u16string number;
        std::string readBack;
    };
    const Case cases[] = {
        {u"TL1", u"+12345", "TL1=12345"}, {u"RED", u"", "RED="},
        {u"", u"0039335", "=0039335"},    {u"OA11", u"*31#12", "OA11=*31#12"},
        {u"P", u"12p4", "P=12"},          {u"ABCDEFGHIJKLMNOPQ", u"1", "ABCDEFGHIJKLMN=1"},
    };
    std::uint32_t index = 0;
    for (const Case& c : cases) {
        ASSERT_EQ(write(index, c.name, c.number), QL_OK);
        EXPECT_EQ(read(index), c.readBack);
        ++index;
    }
    EXPECT_EQ(hex(adnRecord(1)), "54 4C 31 FF FF FF FF FF FF FF FF FF FF FF "
                                 "04 81 21 43 F5 FF FF FF FF FF FF FF FF FF");
}

TEST_F(PhonebookTest, WritingRemovesTheLeadingPlusInTheCallersRecord) {
    connectAndSelect();
    QL_ADN_ITEM entry = item(0, u"TL1", u"+12345");
    ASSERT_EQ(QLADN_WriteItemW(&entry), QL_OK);
    EXPECT_EQ(test_support::Text(entry.number), u"12345");
}

TEST_F(PhonebookTest, ReadsInternationalNumbersAndUcs2Names) {
    adnRecord(3) =
        Bytes{0x80, 0x04, 0x16, 0x00, 0x41, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,
              0x06, 0x91, 0x21, 0x43, 0x65, 0x87, 0xF9, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
    connectAndSelect();
    QL_ADN_ITEM entry = item(2);
    ASSERT_EQ(QLADN_ReadItemW(&entry), QL_OK);
    EXPECT_EQ(test_support::Text(entry.name, entry.nameLength), u"\u0416A");
    EXPECT_EQ(test_support::Text(entry.number), u"+123456789");
    EXPECT_EQ(entry.numberLength, 10u);
}

TEST_F(PhonebookTest, ReadClearsOnlyTheLeadingCharactersAndOnlyAfterARead) {
    adnRecord(1) =
        Bytes{0x54, 0x4C, 0x31, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,
              0x03, 0x81, 0x21, 0x43, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
    connectAndSelect();
    QL_ADN_ITEM entry = item(0);
    std::fill(std::begin(entry.name), std::end(entry.name), u'Z');
    std::fill(std::begin(entry.number), std::end(entry.number), u'Z');
    ASSERT_EQ(QLADN_ReadItemW(&entry), QL_OK);
    EXPECT_EQ(test_support::Text(entry.name), u"TL1");
    EXPECT_EQ(test_support::Text(entry.number), u"1234");
    EXPECT_EQ(entry.name[127], 0);
    EXPECT_EQ(entry.name[128], u'Z');
    EXPECT_EQ(entry.number[255], 0);
    EXPECT_EQ(entry.number[256], u'Z');

    // A failed read zeroes the lengths and leaves the texts alone.
    entry.index = 20;
    entry.name[0] = u'Q';
    ASSERT_EQ(QLADN_ReadItemW(&entry), QL_E_READ);
    EXPECT_EQ(entry.nameLength, 0u);
    EXPECT_EQ(entry.numberLength, 0u);
    EXPECT_EQ(entry.name[0], u'Q');
}

TEST_F(PhonebookTest, FirstAlphaByteFfReadsAsNoName) {
    adnRecord(1)[0] = 0xFF;
    adnRecord(1)[1] = 0x41;
    connectAndSelect();
    EXPECT_EQ(read(0), "=");
}

TEST_F(PhonebookTest, LongNumberGoesToAnExtensionChainWrittenByFlush) {
    connectAndSelect();
    ASSERT_EQ(write(0, u"TL1", k45Digits), QL_OK);
    // Before the flush the chain lives in the working copy only.
    EXPECT_EQ(read(0), "TL1=" + std::string(k45Digits.begin(), k45Digits.end()));
    EXPECT_EQ(ext1Record(1), Bytes(13, 0xFF));
    EXPECT_EQ(hex(adnRecord(1)).substr(3 * 14), "0B 81 21 43 65 87 09 21 43 65 87 09 FF 01");

    card.sent.clear();
    ASSERT_EQ(QLADN_Flush(), QL_OK);
    EXPECT_EQ(card.sentWith(0xDC).size(), 2u);
    EXPECT_EQ(hex(ext1Record(1)), "02 0A 21 43 65 87 09 21 43 65 87 09 02");
    EXPECT_EQ(hex(ext1Record(2)), "02 03 21 43 F5 FF FF FF FF FF FF FF FF");
    EXPECT_EQ(read(0), "TL1=" + std::string(k45Digits.begin(), k45Digits.end()));
}

TEST_F(PhonebookTest, NewChainsTakeTheFirstFreeSlots) {
    ext1Record(1) = Bytes(13, 0x00);
    ext1Record(3) = Bytes(13, 0x00);
    connectAndSelect();
    ASSERT_EQ(write(0, u"A", k45Digits), QL_OK);
    ASSERT_EQ(QLADN_Flush(), QL_OK);
    EXPECT_EQ(adnRecord(1).back(), 0x02);
    EXPECT_EQ(ext1Record(2).back(), 0x04);
    EXPECT_EQ(ext1Record(4).back(), 0xFF);
}

TEST_F(PhonebookTest, ShortRewriteReleasesTheChainAndFlushWritesItFree) {
    connectAndSelect();
    ASSERT_EQ(write(4, u"X", k45Digits), QL_OK);
    ASSERT_EQ(QLADN_Flush(), QL_OK);
    ASSERT_EQ(write(4, u"X", u"12"), QL_OK);
    card.sent.clear();
    ASSERT_EQ(QLADN_Flush(), QL_OK);
    EXPECT_EQ(card.sentWith(0xDC).size(), 2u);
    EXPECT_EQ(ext1Record(1), Bytes(13, 0xFF));
    EXPECT_EQ(ext1Record(2), Bytes(13, 0xFF));
    EXPECT_EQ(read(4), "X=12");
}

TEST_F(PhonebookTest, RewriteAfterReselectFindsTheOldChainOnTheCard) {
    connectAndSelect();
    ASSERT_EQ(write(1, u"X", k45Digits), QL_OK);
    ASSERT_EQ(QLADN_Flush(), QL_OK);
    QL_FILE_INFO info{};
    ASSERT_EQ(QLADN_SelectFile(&info), QL_OK); // clears the cache
    card.sent.clear();
    ASSERT_EQ(write(1, u"X", u"1"), QL_OK);
    EXPECT_EQ(card.sentWith(0xB2).size(), 1u); // the old record, for its chain
    ASSERT_EQ(QLADN_Flush(), QL_OK);
    EXPECT_EQ(ext1Record(1), Bytes(13, 0xFF));
}

TEST_F(PhonebookTest, DisconnectKeepsTheExtensionBuffersForTheNextSelection) {
    connectAndSelect();
    ASSERT_EQ(write(0, u"A", k45Digits), QL_OK);
    QLSIM_Disconnect(nullptr);
    ASSERT_EQ(QLSIM_Connect(nullptr), QL_OK);
    uint8_t* buffer = nullptr;
    uint32_t size = 99;
    ASSERT_EQ(QLADN_ReadExt1BufP(&buffer, &size), QL_OK);
    EXPECT_EQ(size, 0u); // no extension file known on the new connection
    EXPECT_EQ(buffer[0], 0x02);
    EXPECT_EQ(buffer[12], 0x02);
    // The next selection reloads both buffers from the card.
    QL_FILE_INFO info{};
    ASSERT_EQ(QLADN_SelectFile(&info), QL_OK);
    EXPECT_EQ(buffer[0], 0xFF);
}

TEST_F(PhonebookTest, FlushWritesOnlyChangedSlots) {
    connectAndSelect();
    card.sent.clear();
    ASSERT_EQ(QLADN_Flush(), QL_OK);
    EXPECT_TRUE(card.sentWith(0xDC).empty());
    ASSERT_EQ(write(0, u"A", u"1234567890123456789012"), QL_OK);
    card.sent.clear();
    ASSERT_EQ(QLADN_Flush(), QL_OK);
    ASSERT_EQ(card.sentWith(0xDC).size(), 1u);
    EXPECT_EQ(card.sentWith(0xDC)[0][2], 1);
    card.sent.clear();
    ASSERT_EQ(QLADN_Flush(), QL_OK);
    EXPECT_TRUE(card.sentWith(0xDC).empty());
}

TEST_F(PhonebookTest, FailedFlushKeepsTheSlotsAlreadyWritten) {
    connectAndSelect();
    ASSERT_EQ(write(0, u"A", k45Digits), QL_OK);
    card.answer = [](const Bytes& apdu) {
        return apdu[1] == 0xDC && apdu[2] == 2 ? std::optional<Bytes>(Bytes{0x98, 0x04})
                                               : std::nullopt;
    };
    EXPECT_EQ(QLADN_Flush(), QL_E_SELECT_EF);
    card.answer = nullptr;
    card.sent.clear();
    ASSERT_EQ(QLADN_Flush(), QL_OK);
    ASSERT_EQ(card.sentWith(0xDC).size(), 1u);
    EXPECT_EQ(card.sentWith(0xDC)[0][2], 2);
}

TEST_F(PhonebookTest, NoOrEmptyExtensionFileCutsNumbersToTwentyDigits) {
    for (bool fileExists : {false, true}) {
        card.addFile(kAdn, 28, 20);
        if (fileExists) {
            card.addFile(kExt1, 13, 0);
        } else {
            card.removeFile(kExt1);
        }
        connectAndSelect();
        ASSERT_EQ(write(0, u"A", k45Digits), QL_OK);
        EXPECT_EQ(read(0), "A=12345678901234567890");
        EXPECT_EQ(adnRecord(1).back(), 0xFF);
        card.sent.clear();
        EXPECT_EQ(QLADN_Flush(), QL_OK);
        EXPECT_TRUE(card.sentWith(0xDC).empty());
        QLSIM_Disconnect(nullptr);
        QLSIM_Final();
    }
}

TEST_F(PhonebookTest, FullExtensionFileCutsTheNumberSilently) {
    card.addFile(kExt1, 13, 1);
    connectAndSelect();
    ASSERT_EQ(write(0, u"A", k45Digits), QL_OK);
    EXPECT_EQ(read(0), "A=1234567890123456789012345678901234567890");
}

TEST_F(PhonebookTest, IndexBeyondTheFileIsRefusedWithoutTouchingTheCache) {
    connectAndSelect();
    EXPECT_EQ(read(20), "QL_E_READ");
    EXPECT_EQ(write(20, u"A", u"1"), QL_E_READ);
    EXPECT_EQ(write(255, u"A", u"1"), QL_E_READ);
    EXPECT_TRUE(card.sentWith(0xDC).empty());
}

TEST_F(PhonebookTest, IndexesBeyondRecordNumber255NeverReachAnotherRecord) {
    connectAndSelect();
    ASSERT_EQ(write(3, u"KEEP", k45Digits), QL_OK);
    ASSERT_EQ(read(3), "KEEP=" + std::string(k45Digits.begin(), k45Digits.end()));
    const Bytes first = adnRecord(1);
    const Bytes fourth = adnRecord(4);
    card.sent.clear();
    // Index 255 would be record number 0, which the card takes as its current record
    // (record 4 here); 256 and above would wrap onto record 1 and on.
    EXPECT_EQ(read(255), "QL_E_READ");
    EXPECT_EQ(write(255, u"X", u"1"), QL_E_READ);
    EXPECT_EQ(write(256, u"X", u"1"), QL_E_READ);
    EXPECT_EQ(write(0x10003, u"X", u"1"), QL_E_READ);
    Bytes raw(30, 0x00);
    EXPECT_EQ(QLADN_ReadRecord(255, raw.data()), QL_E_READ);
    EXPECT_EQ(QLADN_WriteRecord(255, raw.data()), QL_E_WRITE);
    EXPECT_TRUE(card.sent.empty());
    EXPECT_EQ(adnRecord(1), first);
    EXPECT_EQ(adnRecord(4), fourth);
    // The chain of record 4 is still in the working copy.
    EXPECT_EQ(read(3), "KEEP=" + std::string(k45Digits.begin(), k45Digits.end()));
    // The raw exports use the index's low 8 bits.
    ASSERT_EQ(QLADN_ReadRecord(256 + 3, raw.data()), QL_OK);
    EXPECT_TRUE(std::equal(fourth.begin(), fourth.end(), raw.begin()));
}

TEST_F(PhonebookTest, FailedDirectorySelectionLeavesNoExtensionRecords) {
    connectAndSelect();
    card.answer = [](const Bytes& apdu) {
        return apdu[1] == 0xA4 ? std::optional<Bytes>(Bytes{0x94, 0x04}) : std::nullopt;
    };
    QL_FILE_INFO info{};
    ASSERT_EQ(QLADN_SelectFile(&info), QL_E_SELECT_DF);
    uint8_t* buffer = nullptr;
    uint32_t size = 99;
    ASSERT_EQ(QLADN_ReadExt1BufP(&buffer, &size), QL_OK);
    EXPECT_EQ(size, 0u);
    // Without extension records a long number keeps 20 digits.
    card.answer = nullptr;
    ASSERT_EQ(write(0, u"A", k45Digits), QL_OK);
    EXPECT_EQ(read(0), "A=12345678901234567890");
}

TEST_F(PhonebookTest, ChainLoopsAndStrayIdentifiersEndTheNumber) {
    // Record 1 points to 2, and 2 back to 1; record 3 points outside the file.
    ext1Record(1) =
        Bytes{0x02, 0x01, 0x21, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x02};
    ext1Record(2) =
        Bytes{0x02, 0x01, 0x43, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x01};
    ext1Record(3) =
        Bytes{0x02, 0x01, 0x65, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x09};
    adnRecord(1) = Bytes(28, 0xFF);
    adnRecord(1)[14] = 0x02;
    adnRecord(1)[15] = 0x81;
    adnRecord(1)[16] = 0x09;
    adnRecord(1)[27] = 0x01;
    adnRecord(2) = adnRecord(1);
    adnRecord(2)[27] = 0x03;
    connectAndSelect();
    EXPECT_EQ(read(0), "=901234");
    EXPECT_EQ(read(1), "=9056");
    // Releasing the loop frees both records and stops.
    ASSERT_EQ(write(0, u"", u"1"), QL_OK);
    ASSERT_EQ(QLADN_Flush(), QL_OK);
    EXPECT_EQ(ext1Record(1), Bytes(13, 0xFF));
    EXPECT_EQ(ext1Record(2), Bytes(13, 0xFF));
    EXPECT_EQ(ext1Record(3)[2], 0x65);
}

TEST_F(PhonebookTest, FailedUpdateLeavesTheWorkingCopyChanged) {
    connectAndSelect();
    ASSERT_EQ(write(0, u"A", k45Digits), QL_OK);
    card.answer = [](const Bytes& apdu) {
        return apdu[1] == 0xDC ? std::optional<Bytes>(Bytes{0x98, 0x04}) : std::nullopt;
    };
    EXPECT_EQ(write(0, u"A", u"1"), QL_E_WRITE);
    uint8_t* buffer = nullptr;
    uint32_t size = 0;
    ASSERT_EQ(QLADN_ReadExt1BufP(&buffer, &size), QL_OK);
    EXPECT_EQ(buffer[0], 0xFF);
}

TEST_F(PhonebookTest, FailedReadOfTheOldRecordStopsTheWriteBeforeAnyChange) {
    connectAndSelect();
    card.answer = [](const Bytes& apdu) {
        return apdu[1] == 0xB2 ? std::optional<Bytes>(Bytes{0x94, 0x02}) : std::nullopt;
    };
    EXPECT_EQ(write(3, u"A", k45Digits), QL_E_READ);
    EXPECT_TRUE(card.sentWith(0xDC).empty());
    card.answer = nullptr;
    card.sent.clear();
    ASSERT_EQ(QLADN_Flush(), QL_OK);
    EXPECT_TRUE(card.sentWith(0xDC).empty());
}

TEST_F(PhonebookTest, RawRecordsPassBytesUnchanged) {
    connectAndSelect();
    Bytes record(28);
    for (std::size_t i = 0; i < record.size(); ++i) {
        record[i] = static_cast<std::uint8_t>(i);
    }
    ASSERT_EQ(QLADN_WriteRecord(5, record.data()), QL_OK);
    EXPECT_EQ(adnRecord(6), record);
    Bytes readBack(30, 0xEE);
    ASSERT_EQ(QLADN_ReadRecord(5, readBack.data()), QL_OK);
    EXPECT_TRUE(std::equal(record.begin(), record.end(), readBack.begin()));
    EXPECT_EQ(readBack[28], 0x90);
    EXPECT_EQ(readBack[29], 0x00);
    EXPECT_EQ(QLADN_ReadRecord(20, readBack.data()), QL_E_READ);
    card.answer = [](const Bytes&) { return std::optional<Bytes>(Bytes{0x98, 0x04}); };
    EXPECT_EQ(QLADN_WriteRecord(0, record.data()), QL_E_WRITE);
}

TEST_F(PhonebookTest, RecordExportsBeforeSelectionFailWithoutSending) {
    connect();
    Bytes buffer(300, 0xEE);
    EXPECT_EQ(QLADN_ReadRecord(0, buffer.data()), QL_E_READ);
    EXPECT_EQ(QLADN_WriteRecord(0, buffer.data()), QL_E_WRITE);
    EXPECT_EQ(read(0), "QL_E_READ");
    // A write fails where it would first read the old record.
    EXPECT_EQ(write(0, u"A", u"1"), QL_E_READ);
    EXPECT_TRUE(card.sent.empty());
    EXPECT_EQ(buffer[0], 0xEE);
}

TEST_F(PhonebookTest, ExtensionBufferWritesAreCappedAtItsSize) {
    connectAndSelect();
    const Bytes source(5000, 0xAB);
    ASSERT_EQ(QLADN_WriteExt1Buf(source.data(), 5000), QL_OK);
    uint8_t* buffer = nullptr;
    uint32_t size = 0;
    ASSERT_EQ(QLADN_ReadExt1BufP(&buffer, &size), QL_OK);
    EXPECT_TRUE(std::all_of(buffer, buffer + 3315, [](uint8_t b) { return b == 0xAB; }));
    // The state beside the buffer is intact: reads still work.
    EXPECT_EQ(read(0), "=");
}

TEST_F(PhonebookTest, HostEditsOfTheExtensionBufferAreFlushed) {
    connectAndSelect();
    uint8_t* buffer = nullptr;
    uint32_t size = 0;
    ASSERT_EQ(QLADN_ReadExt1BufP(&buffer, &size), QL_OK);
    Bytes copy(buffer, buffer + size);
    copy[13 * 3] = 0x02;
    ASSERT_EQ(QLADN_WriteExt1Buf(copy.data(), static_cast<uint32_t>(copy.size())), QL_OK);
    ASSERT_EQ(QLADN_Flush(), QL_OK);
    EXPECT_EQ(ext1Record(4)[0], 0x02);
}

TEST_F(PhonebookTest, WritesThatLeaveAKnownRecordAsItIsSendNothing) {
    // What one write sends after what happened on the same connection since the selection.
    struct Case {
        const char* what;
        std::function<void()> before;
        std::u16string number;
        std::size_t reads;
        std::size_t updates;
    };
    const auto readFirst = [&] { ASSERT_EQ(read(0), "TL1=12345"); };
    const auto writtenFirst = [&] { ASSERT_EQ(write(0, u"TL1", u"12345"), QL_OK); };
    const std::vector<Case> cases = {
        {"read before, same entry", readFirst, u"12345", 0, 0},
        {"read before, another number", readFirst, u"12346", 0, 1},
        {"not read before: read for the old chain", [] {}, u"12345", 1, 0},
        {"written before, same entry", writtenFirst, u"12345", 0, 0},
        {"the same entry with '+', stored without it", readFirst, u"+12345", 0, 0},
    };
    for (const Case& c : cases) {
        adnRecord(1) = Bytes{0x54, 0x4C, 0x31, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,
                             0xFF, 0xFF, 0xFF, 0xFF, 0x04, 0x81, 0x21, 0x43, 0xF5, 0xFF,
                             0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
        connectAndSelect();
        c.before();
        card.sent.clear();
        ASSERT_EQ(write(0, u"TL1", c.number), QL_OK) << c.what;
        EXPECT_EQ(card.sentWith(0xB2).size(), c.reads) << c.what;
        EXPECT_EQ(card.sentWith(0xDC).size(), c.updates) << c.what;
        QLSIM_Disconnect(nullptr);
        QLSIM_Final();
    }
}

TEST_F(PhonebookTest, ALongNumberRewrittenUnchangedKeepsItsExtensionRecords) {
    ext1Record(1) = Bytes(13, 0x00); // used by someone else
    connectAndSelect();
    ASSERT_EQ(write(5, u"A", k45Digits), QL_OK);
    ASSERT_EQ(QLADN_Flush(), QL_OK);
    ASSERT_EQ(adnRecord(6).back(), 0x02);
    // Record 2 is freed, so that a plain first-free search would move the chain.
    ASSERT_EQ(write(6, u"B", k45Digits), QL_OK);
    ASSERT_EQ(write(6, u"B", u"1"), QL_OK);
    ASSERT_EQ(QLADN_Flush(), QL_OK);

    QL_FILE_INFO info{};
    ASSERT_EQ(QLADN_SelectFile(&info), QL_OK);
    ASSERT_EQ(read(5), "A=" + std::string(k45Digits.begin(), k45Digits.end()));
    card.sent.clear();
    ASSERT_EQ(write(5, u"A", k45Digits), QL_OK);
    ASSERT_EQ(QLADN_Flush(), QL_OK);
    EXPECT_TRUE(card.sentWith(0xDC).empty());
    EXPECT_EQ(adnRecord(6).back(), 0x02);
}

TEST_F(PhonebookTest, RawReadAfterAnItemReadUsesThatRead) {
    connectAndSelect();
    ASSERT_EQ(read(2), "=");
    card.sent.clear();
    Bytes raw(30, 0x00);
    ASSERT_EQ(QLADN_ReadRecord(2, raw.data()), QL_OK);
    EXPECT_TRUE(card.sent.empty());
    EXPECT_EQ(Bytes(raw.begin(), raw.begin() + 28), adnRecord(3));
    EXPECT_EQ(raw[28], 0x90);
    EXPECT_EQ(raw[29], 0x00);
    // A record the library wrote is read back from the card.
    ASSERT_EQ(write(2, u"X", u"1"), QL_OK);
    card.sent.clear();
    ASSERT_EQ(QLADN_ReadRecord(2, raw.data()), QL_OK);
    EXPECT_EQ(card.sentWith(0xB2).size(), 1u);
    // Raw writes of the bytes the record holds send nothing either.
    card.sent.clear();
    ASSERT_EQ(QLADN_WriteRecord(2, raw.data()), QL_OK);
    EXPECT_TRUE(card.sent.empty());
}

TEST_F(PhonebookTest, WhatTheLibraryKnowsOfTheCardLastsOneConnection) {
    connectAndSelect();
    ASSERT_EQ(write(0, u"A", k45Digits), QL_OK);
    ASSERT_EQ(QLADN_Flush(), QL_OK);
    ASSERT_EQ(read(1), "=");
    // Meanwhile the card is changed elsewhere.
    QLSIM_Disconnect(nullptr);
    adnRecord(2)[0] = 'Z';
    ext1Record(1) = Bytes(13, 0x00);
    ext1Record(3) = Bytes(13, 0x00);
    ASSERT_EQ(QLSIM_Connect(nullptr), QL_OK);

    // Without a selection on this connection the flush cannot know what the card holds:
    // it writes every extension record from the working copy.
    card.sent.clear();
    ASSERT_EQ(QLADN_Flush(), QL_OK);
    EXPECT_EQ(card.sentWith(0xDC).size(), 4u);
    EXPECT_EQ(ext1Record(1)[0], 0x02);
    EXPECT_EQ(ext1Record(3), Bytes(13, 0xFF));

    // The record read on the old connection is read again before it is written.
    QL_FILE_INFO info{};
    ASSERT_EQ(QLADN_SelectFile(&info), QL_OK);
    card.sent.clear();
    ASSERT_EQ(write(1, u"", u""), QL_OK);
    EXPECT_EQ(card.sentWith(0xB2).size(), 1u);
    EXPECT_EQ(card.sentWith(0xDC).size(), 1u);
    EXPECT_EQ(adnRecord(2)[0], 0xFF);
}

TEST_F(PhonebookTest, AFailedUpdateLeavesTheRecordUnknown) {
    connectAndSelect();
    ASSERT_EQ(read(0), "=");
    card.answer = [](const Bytes& apdu) {
        return apdu[1] == 0xDC ? std::optional<Bytes>(Bytes{0x92, 0x40}) : std::nullopt;
    };
    EXPECT_EQ(write(0, u"A", u"1"), QL_E_WRITE);
    card.answer = nullptr;
    // The card may hold the old record or the new one: the same write is sent again.
    card.sent.clear();
    ASSERT_EQ(write(0, u"A", u"1"), QL_OK);
    EXPECT_EQ(card.sentWith(0xB2).size(), 1u);
    EXPECT_EQ(card.sentWith(0xDC).size(), 1u);
}

} // namespace
} // namespace quenlib::fake
