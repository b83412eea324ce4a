// Card ports on several virtual readers at once, through pcscd and vpcd: each port has a
// library session of its own, so programs written from threads at the same time land each
// on its own card, and a card pulled from one reader fails only that reader's write.
// Records are checked as GSM 11.11 lays out EF ADN (10.5.1).
#include "editor/sim/ReaderCardPort.h"
#include "editor/sim/ReaderPorts.h"
#include "editor/sim/SimAccess.h"
#include "editor/sim/SimTransfer.h"
#include "editor/sim/tests/AdnRecords.h"
#include "editor/sim/tests/RecordingWindow.h"
#include "tools/simcard/core/CardImage.h"
#include "tools/simcard/fixture/VirtualReaders.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <string>
#include <thread>
#include <vector>

namespace tarvik::testing {
namespace {

constexpr int kRecords = 100;

simcard::CardOptions PinOff() {
    simcard::CardOptions options;
    options.pin1Enabled = false;
    options.adnRecords = kRecords;
    return options;
}

// Reader r's program: ten lines of its own.
std::vector<std::string> ProgramOf(std::size_t reader) {
    std::vector<std::string> lines;
    for (int i = 0; i < 10; ++i) {
        lines.push_back("R" + std::to_string(reader) + "L" + std::to_string(i) + "=" +
                        std::to_string(reader + 1) + std::to_string(i));
    }
    return lines;
}

// The first `count` ADN records of a card image as "NAME=NUMBER".
std::vector<std::string> FirstTexts(const simcard::VirtualCard& card, std::size_t count) {
    const auto image = simcard::CardImage::load(card.imagePath());
    const auto& ext1 = image.records({simcard::DfTelecom, simcard::EfExt1});
    const auto& adn = image.records({simcard::DfTelecom, simcard::EfAdn});
    std::vector<std::string> texts;
    for (std::size_t i = 0; i < count && i < adn.size(); ++i) {
        texts.push_back(RecordText(adn[i], ext1));
    }
    return texts;
}

// Writes each reader's program from a thread of its own, all at once, through ports
// opened on the readers' names.
std::vector<WriteResult> WriteAtOnce(ReaderPorts& ports, const std::vector<std::string>& names) {
    std::vector<WriteResult> results(names.size());
    std::vector<std::thread> workers;
    for (std::size_t r = 0; r < names.size(); ++r) {
        workers.emplace_back([&, r] {
            auto port = ports.open(names[r]);
            port->connect();
            RecordingWindow window;
            const auto lines = ProgramOf(r);
            results[r] = SimWriteAll(*port, window, lines, true, nullptr);
        });
    }
    for (auto& worker : workers) {
        worker.join();
    }
    return results;
}

TEST(ReaderPortsCardTest, FourReadersEachGetTheirOwnProgramAtOnce) {
    simcard::VirtualReaders readers(4, PinOff());
    QuenlibReaderPorts ports;
    const auto results = WriteAtOnce(ports, readers.names());
    for (std::size_t r = 0; r < readers.size(); ++r) {
        SCOPED_TRACE(readers[r].readerName());
        EXPECT_TRUE(results[r].ok());
        EXPECT_EQ(results[r].changedRecords, 10);
        EXPECT_EQ(FirstTexts(readers[r], 10), ProgramOf(r));
        EXPECT_EQ(FirstTexts(readers[r], 11).back(), "");
    }
}

TEST(ReaderPortsCardTest, CardPulledInOneReaderLeavesTheOthersWriting) {
    // Reader 0's card drops its connection in the middle of the write: after the reads
    // (the selections and 100 READ RECORDs) and a few updates.
    std::vector<simcard::CardOptions> shapes(3, PinOff());
    for (std::size_t r = 0; r < shapes.size(); ++r) {
        shapes[r].iccid = simcard::VirtualReaders::iccidOf(PinOff(), r);
    }
    shapes[0].dropAfterCommands = 115;
    simcard::VirtualReaders readers(shapes);
    QuenlibReaderPorts ports;
    const auto results = WriteAtOnce(ports, readers.names());
    EXPECT_TRUE(results[0].writeError);
    for (std::size_t r = 1; r < readers.size(); ++r) {
        SCOPED_TRACE(readers[r].readerName());
        EXPECT_TRUE(results[r].ok());
        EXPECT_EQ(FirstTexts(readers[r], 10), ProgramOf(r));
    }

    // The card put back in that reader is written by a new port as any other.
    readers[0].clearFaults();
    readers[0].insert();
    auto port = ports.open(readers[0].readerName());
    port->connect();
    ASSERT_EQ(port->access(), CardAccess::Ready);
    RecordingWindow window;
    EXPECT_TRUE(SimWriteAll(*port, window, ProgramOf(0), true, nullptr).ok());
    EXPECT_EQ(FirstTexts(readers[0], 10), ProgramOf(0));
}

TEST(ReaderPortsCardTest, DefaultSessionKeepsItsCardWhilePortsWriteOthers) {
    simcard::VirtualReaders readers(3, PinOff());
    ::setenv("QUENLIB_READER", readers[0].readerName().c_str(), 1);
    SimConnect();
    ASSERT_TRUE(SimIsConnected());
    ASSERT_TRUE(SimSelectPhonebook());

    QuenlibReaderPorts ports;
    const std::vector<std::string> others{readers[1].readerName(), readers[2].readerName()};
    std::thread writing([&] {
        const auto results = WriteAtOnce(ports, others);
        EXPECT_TRUE(results[0].ok() && results[1].ok());
    });
    EXPECT_TRUE(SimWriteItem(0, u"MINE", u"12"));
    writing.join();

    const auto facts = SimCardFacts();
    ASSERT_TRUE(facts);
    EXPECT_EQ(facts->reader, readers[0].readerName());
    EXPECT_EQ(SimReadItem(0)->name, u"MINE");
    SimDisconnect();
    ::unsetenv("QUENLIB_READER");
    EXPECT_EQ(FirstTexts(readers[0], 1), std::vector<std::string>{"MINE=12"});
    EXPECT_EQ(FirstTexts(readers[1], 10), ProgramOf(0));
    EXPECT_EQ(FirstTexts(readers[2], 10), ProgramOf(1));
}

TEST(ReaderPortsCardTest, PortOnAReaderNotThereFindsNoCard) {
    QuenlibReaderPorts ports;
    auto port = ports.open("No Such Reader 00 00");
    port->connect();
    EXPECT_EQ(port->access(), CardAccess::NotFound);
    EXPECT_FALSE(port->iccid());
}

} // namespace
} // namespace tarvik::testing
