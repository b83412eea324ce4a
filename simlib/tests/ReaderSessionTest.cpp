// Sessions of their own on several readers beside the default session of the exports: each
// keeps its own connection and records, on threads running at once, and a card pulled in
// one reader (SCARD_W_REMOVED_CARD, PC/SC part 5 §3.1.3) fails only that session.
#include "simlib/session/ReaderSession.h"

#include "simlib/LibraryState.h"
#include "simlib/tests/CardText.h"
#include "simlib/tests/LibraryFixture.h"
#include "simlib/tests/TestEnvironment.h"

#include <array>
#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace quenlib::fake {
namespace {

using test_support::Text;

constexpr std::uint16_t kAdn = 0x6F3A;
constexpr int kRecords = 40;

// A reader with a card whose phonebook has kRecords records.
struct Reader {
    explicit Reader(std::string readerName) : name(std::move(readerName)) {
        card.readers = {name};
        card.cardIn = {{name, true}};
        card.addFile(kAdn, 28, kRecords);
    }
    std::string name;
    FakeCard card;
};

QL_ADN_ITEM Item(int index, std::u16string_view name, std::u16string_view number) {
    QL_ADN_ITEM item{};
    item.size = sizeof item;
    item.index = static_cast<std::uint32_t>(index);
    std::copy(name.begin(), name.end(), item.name);
    std::copy(number.begin(), number.end(), item.number);
    return item;
}

// Writes record i as "<tag><i>" / "<digit><i>" through the session; the failing write's
// index, or -1 when every write was taken.
int WriteAll(ReaderSession& session, char16_t tag, char16_t digit) {
    if (session.open() != QL_OK || session.connect() != QL_OK) {
        return 0;
    }
    QL_FILE_INFO info{68, 0, 0};
    if (session.selectPhonebook(info) != QL_OK) {
        return 0;
    }
    for (int i = 0; i < kRecords; ++i) {
        const std::u16string index = std::u16string(1, u'0' + i / 10) + char16_t(u'0' + i % 10);
        QL_ADN_ITEM item =
            Item(i, std::u16string(1, tag) + index, std::u16string(1, digit) + index);
        if (session.writeItem(item) != QL_OK) {
            return i;
        }
    }
    return -1;
}

std::u16string NameIn(ReaderSession& session, int index) {
    QL_ADN_ITEM item = Item(index, u"", u"");
    return session.readItem(item) == QL_OK ? Text(item.name) : u"?";
}

class ReaderSessionTest : public LibraryTest {};

TEST_F(ReaderSessionTest, SessionsOnThreadsWriteTheirOwnCardsAtOnce) {
    std::array<Reader, 4> readers{Reader("A 00 00"), Reader("B 00 00"), Reader("C 00 00"),
                                  Reader("D 00 00")};
    // Each row: the reader's tag and digit, and the record that must hold them.
    const std::array<std::pair<char16_t, char16_t>, 4> programs{
        {{u'a', u'1'}, {u'b', u'2'}, {u'c', u'3'}, {u'd', u'4'}}};
    std::array<int, 4> failed{};
    std::vector<std::thread> workers;
    std::vector<std::unique_ptr<ReaderSession>> sessions;
    for (std::size_t r = 0; r < readers.size(); ++r) {
        sessions.push_back(std::make_unique<ReaderSession>(readers[r].name, &readers[r].card));
    }
    for (std::size_t r = 0; r < readers.size(); ++r) {
        workers.emplace_back(
            [&, r] { failed[r] = WriteAll(*sessions[r], programs[r].first, programs[r].second); });
    }
    for (auto& worker : workers) {
        worker.join();
    }
    for (std::size_t r = 0; r < readers.size(); ++r) {
        SCOPED_TRACE(readers[r].name);
        EXPECT_EQ(failed[r], -1);
        EXPECT_EQ(readers[r].card.connectedReaders, std::vector<std::string>{readers[r].name});
        for (int i : {0, 17, kRecords - 1}) {
            const std::u16string index = std::u16string(1, u'0' + i / 10) + char16_t(u'0' + i % 10);
            EXPECT_EQ(NameIn(*sessions[r], i), std::u16string(1, programs[r].first) + index);
        }
    }
}

TEST_F(ReaderSessionTest, CardPulledInOneReaderFailsOnlyThatSession) {
    Reader pulled("A 00 00");
    Reader kept("B 00 00");
    std::atomic<int> updates{0};
    // The card leaves after its fifth UPDATE RECORD (GSM 11.11 §9.2.5: instruction DC).
    pulled.card.transmitFailure = [&updates](const Bytes& apdu) -> std::optional<PcscCode> {
        if (apdu.size() > 1 && apdu[1] == 0xDC && ++updates > 5) {
            return kPcscRemovedCard;
        }
        return std::nullopt;
    };
    ReaderSession first(pulled.name, &pulled.card);
    ReaderSession second(kept.name, &kept.card);
    int firstFailed = 0;
    int secondFailed = 0;
    std::thread a([&] { firstFailed = WriteAll(first, u'a', u'1'); });
    std::thread b([&] { secondFailed = WriteAll(second, u'b', u'2'); });
    a.join();
    b.join();
    EXPECT_EQ(firstFailed, 5);
    EXPECT_EQ(secondFailed, -1);
    EXPECT_EQ(NameIn(second, kRecords - 1), u"b39");
}

TEST_F(ReaderSessionTest, DefaultSessionOfTheExportsStaysAsSessionsComeAndGo) {
    card.addFile(kAdn, 28, kRecords);
    connect();
    QL_FILE_INFO info{68, 0, 0};
    ASSERT_EQ(QLADN_SelectFile(&info), QL_OK);
    {
        Reader other("Other 00 00");
        ReaderSession session(other.name, &other.card);
        ASSERT_EQ(WriteAll(session, u'x', u'9'), -1);
    } // destroyed: disconnects its own card only
    QL_ADN_ITEM item = Item(3, u"Mine", u"123");
    EXPECT_EQ(QLADN_WriteItemW(&item), QL_OK);
    QL_ADN_ITEM read = Item(3, u"", u"");
    ASSERT_EQ(QLADN_ReadItemW(&read), QL_OK);
    EXPECT_EQ(Text(read.name), u"Mine");
    EXPECT_TRUE(card.disconnects.empty());
}

TEST_F(ReaderSessionTest, SessionUsesItsReaderNotTheConfiguredOne) {
    // QUENLIB_READER names the default session's reader; a session keeps the one it was given.
    test_support::SetVariable("QUENLIB_READER", "Configured 00 00");
    Reader named("Named 00 00");
    named.card.readers = {"Configured 00 00", named.name};
    named.card.cardIn = {{"Configured 00 00", true}, {named.name, true}};
    {
        ReaderSession session(named.name, &named.card);
        EXPECT_EQ(session.open(), QL_OK);
        EXPECT_EQ(session.connect(), QL_OK);
    }
    test_support::UnsetVariable("QUENLIB_READER");
    EXPECT_EQ(named.card.connectedReaders, std::vector<std::string>{named.name});
    // Closing the session ejects its card and releases its context once.
    EXPECT_EQ(named.card.disconnects, std::vector<Disposition>{Disposition::EjectCard});
    EXPECT_EQ(named.card.contextsReleased, 1);
}

TEST_F(ReaderSessionTest, CallsWithoutConnectionOrWithNullBuffersAreRefused) {
    Reader reader("A 00 00");
    ReaderSession session(reader.name, &reader.card);
    ASSERT_EQ(session.open(), QL_OK);
    QL_FILE_INFO info{68, 0, 0};
    QL_COUNT_INFO count{};
    QL_ADN_ITEM item = Item(0, u"", u"");
    QL_PIN_CONTEXT context{};
    QL_CARD_INFO cardInfo{};
    cardInfo.size = sizeof cardInfo;
    std::uint32_t enabled = 0;
    std::uint32_t attempts = 0;
    std::uint8_t record[64]{};
    std::uint8_t* buffer = nullptr;
    std::uint32_t size = 0;
    char digits[QL_ICCID_SIZE]{};
    const std::vector<std::pair<const char*, std::function<QLRESULT()>>> unconnected = {
        {"verify", [&] { return session.verifyPin1("1234"); }},
        {"disable", [&] { return session.disablePin1("1234"); }},
        {"pin1State", [&] { return session.pin1State(enabled, attempts); }},
        {"pinContext", [&] { return session.pinContext(context); }},
        {"selectPhonebook", [&] { return session.selectPhonebook(info); }},
        {"readItem", [&] { return session.readItem(item); }},
        {"writeItem", [&] { return session.writeItem(item); }},
        {"flush", [&] { return session.flush(); }},
        {"readRecord", [&] { return session.readRecord(0, record); }},
        {"writeRecord", [&] { return session.writeRecord(0, record); }},
        {"extensionBuffer", [&] { return session.extensionBuffer(buffer, size); }},
        {"replaceExtensions", [&] { return session.replaceExtensions(record, 13); }},
    };
    for (const auto& [name, call] : unconnected) {
        EXPECT_EQ(call(), QL_E_NOT_CONNECTED) << name;
    }
    ASSERT_EQ(session.connect(), QL_OK);
    const std::vector<std::pair<const char*, std::function<QLRESULT()>>> nullBuffers = {
        {"readRecord", [&] { return session.readRecord(0, nullptr); }},
        {"writeRecord", [&] { return session.writeRecord(0, nullptr); }},
        {"replaceExtensions", [&] { return session.replaceExtensions(nullptr, 13); }},
        {"iccid", [&] { return session.iccid(nullptr, QL_ICCID_SIZE); }},
    };
    for (const auto& [name, call] : nullBuffers) {
        EXPECT_EQ(call(), QL_E_FAILED) << name;
    }
    EXPECT_TRUE(reader.card.sent.empty());
    // What the card is and its identity come from this session's connection.
    EXPECT_EQ(session.cardInfo(cardInfo), QL_OK);
    EXPECT_STREQ(cardInfo.reader, "A 00 00");
    (void)count;
    (void)digits;
}

} // namespace
} // namespace quenlib::fake
