#pragma once

#include "editor/sim/BackupStore.h"
#include "editor/sim/QuenlibCardPort.h"
#include "editor/sim/SimAccess.h"
#include "editor/sim/TransferWindow.h"
#include "editor/sim/tests/AdnRecords.h"
#include "editor/sim/tests/RecordingWindow.h"
#include "testing/TemporaryFolder.h"
#include "tools/simcard/core/CardImage.h"
#include "tools/simcard/fixture/VirtualCard.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace tarvik::testing {

// Each test gets a virtual card of its own in the local pcscd, and the wrapper is pointed
// at its reader. The wrapper's connection is closed after every test.
class SimCardTest : public ::testing::Test {
protected:
    void TearDown() override {
        SimDisconnect();
        ::unsetenv("QUENLIB_READER");
    }

    static simcard::CardOptions PinOff(int adnRecords = 250) {
        simcard::CardOptions options;
        options.pin1Enabled = false;
        options.adnRecords = adnRecords;
        return options;
    }

    void StartCard(simcard::CardOptions options = PinOff()) {
        card.reset(); // give back the reader of an earlier card first
        card = std::make_unique<simcard::VirtualCard>(std::move(options));
        ::setenv("QUENLIB_READER", card->readerName().c_str(), 1);
    }

    // Connects and expects the card to be ready for a transfer.
    void Connect() {
        SimConnect();
        ASSERT_TRUE(SimIsConnected());
        ASSERT_EQ(QueryCardAccess(), CardAccess::Ready);
    }

    simcard::CardImage Image() const { return simcard::CardImage::load(card->imagePath()); }

    std::vector<simcard::Bytes> Records(std::uint16_t file = simcard::EfAdn) const {
        return Image().records({simcard::DfTelecom, file});
    }

    // Every ADN record as "NAME=NUMBER" ("" when empty), extensions followed.
    std::vector<std::string> RecordTexts() const {
        const auto image = Image();
        const auto& ext1 = image.records({simcard::DfTelecom, simcard::EfExt1});
        std::vector<std::string> texts;
        for (const auto& record : image.records({simcard::DfTelecom, simcard::EfAdn})) {
            texts.push_back(RecordText(record, ext1));
        }
        return texts;
    }

    // Puts records (by 0-based index) on the card as bytes, with the card out of the reader.
    void Plant(const std::map<int, simcard::Bytes>& records) {
        card->remove();
        auto image = Image();
        auto* adn = image.find({simcard::DfTelecom, simcard::EfAdn});
        ASSERT_NE(adn, nullptr);
        for (const auto& [index, bytes] : records) {
            adn->records.at(static_cast<std::size_t>(index)) = bytes;
        }
        image.save(card->imagePath());
        card->insert();
    }

    // Puts extension records (by 0-based index) on the card, with the card out of the reader.
    void PlantExtensions(const std::map<int, simcard::Bytes>& records) {
        card->remove();
        auto image = Image();
        auto* ext1 = image.find({simcard::DfTelecom, simcard::EfExt1});
        ASSERT_NE(ext1, nullptr);
        for (const auto& [index, bytes] : records) {
            ext1->records.at(static_cast<std::size_t>(index)) = bytes;
        }
        image.save(card->imagePath());
        card->insert();
    }

    // The commands with instruction byte ins the card received since the first `from`.
    std::size_t CountSent(const std::string& ins, std::size_t from = 0) const {
        const auto sent = Commands();
        return static_cast<std::size_t>(
            std::count_if(sent.begin() + static_cast<long>(std::min(from, sent.size())), sent.end(),
                          [&](const std::string& c) { return c.substr(3, 2) == ins; }));
    }

    // The commands the card received, as "A0 DC 01 04 1C ..." lines.
    std::vector<std::string> Commands() const {
        std::ifstream log(card->commandLogPath());
        std::vector<std::string> sent;
        for (std::string line; std::getline(log, line);) {
            if (line.rfind("> ", 0) == 0) {
                sent.push_back(line.substr(2));
            }
        }
        return sent;
    }

    std::unique_ptr<simcard::VirtualCard> card;
    QuenlibCardPort port;
    TemporaryFolder backupFolder;
    BackupStore backups{backupFolder.path()};
};

} // namespace tarvik::testing
