#pragma once

#include "base/Hex.h"
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
    return tarvik::ToHex(bytes, tarvik::HexSpacing::Spaced);
}

} // namespace quenlib::fake
