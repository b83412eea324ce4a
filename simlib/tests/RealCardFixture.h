#pragma once

#include "simlib/include/quenlib.h"
#include "simlib/tests/AdnEntries.h"
#include "tools/simcard/core/CardImage.h"
#include "tools/simcard/fixture/VirtualCard.h"

#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace quenlib::card {

// Runs each test against libquenlib.so and a virtual card of its own in the local pcscd.
class RealCardTest : public ::testing::Test, protected test_support::AdnEntries {
protected:
    void TearDown() override {
        QLSIM_Disconnect(nullptr);
        QLSIM_Final();
        ::unsetenv("QUENLIB_READER");
    }

    // Starts the card and points the library at its reader; CHV1 is off unless asked for.
    void startCard(simcard::CardOptions options = pinDisabled()) {
        card.reset(); // give back the reader of an earlier card first
        card = std::make_unique<simcard::VirtualCard>(std::move(options));
        ::setenv("QUENLIB_READER", card->readerName().c_str(), 1);
        ASSERT_EQ(QLSIM_Init(), QL_OK);
    }

    void connectAndSelect() {
        ASSERT_EQ(QLSIM_Connect(nullptr), QL_OK);
        QL_FILE_INFO info{68, 0, 0};
        ASSERT_EQ(QLADN_SelectFile(&info), QL_OK);
        fileInfo = info;
    }

    static simcard::CardOptions pinDisabled() {
        simcard::CardOptions options;
        options.pin1Enabled = false;
        return options;
    }

    std::vector<simcard::Bytes> records(std::uint16_t file) const {
        return simcard::CardImage::load(card->imagePath()).records({simcard::DfTelecom, file});
    }

    // The commands the card received, as "A0 DC 01 04 0D ..." lines.
    std::vector<std::string> commands() const {
        std::ifstream log(card->commandLogPath());
        std::vector<std::string> sent;
        for (std::string line; std::getline(log, line);) {
            if (line.rfind("> ", 0) == 0) {
                sent.push_back(line.substr(2));
            }
        }
        return sent;
    }

    // How many of the commands sent since `from` start with `prefix`.
    std::size_t countSince(std::size_t from, const std::string& prefix) const {
        const auto sent = commands();
        std::size_t count = 0;
        for (std::size_t i = from; i < sent.size(); ++i) {
            count += sent[i].rfind(prefix, 0) == 0 ? 1 : 0;
        }
        return count;
    }

    std::unique_ptr<simcard::VirtualCard> card;
    QL_FILE_INFO fileInfo{};
};

} // namespace quenlib::card
