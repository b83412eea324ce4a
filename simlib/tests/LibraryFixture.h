#pragma once

#include "simlib/LibraryState.h"
#include "simlib/include/quenlib.h"
#include "simlib/tests/FakeCard.h"

#include <gtest/gtest.h>
#include <string>

namespace quenlib::fake {

// Runs each test against a fresh library state with the fake card as its backend.
class LibraryTest : public ::testing::Test {
protected:
    void SetUp() override {
        state() = LibraryState{};
        setCardBackend(&card);
    }

    void TearDown() override {
        QLSIM_Disconnect(nullptr);
        QLSIM_Final();
        state() = LibraryState{};
        setCardBackend(nullptr);
    }

    void connect() {
        ASSERT_EQ(QLSIM_Init(), QL_OK);
        ASSERT_EQ(QLSIM_Connect(nullptr), QL_OK);
    }

    FakeCard card;
};

inline std::string hex(const Bytes& bytes) {
    static const char digits[] = "0123456789ABCDEF";
    std::string text;
    for (std::uint8_t byte : bytes) {
        if (!text.empty()) {
            text += ' ';
        }
        text += digits[byte >> 4];
        text += digits[byte & 0x0F];
    }
    return text;
}

} // namespace quenlib::fake
