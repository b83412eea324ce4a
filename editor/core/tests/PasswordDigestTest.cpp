#include "editor/core/PasswordDigest.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace tarvik {
namespace {

TEST(PasswordDigestTest, MatchesDigestsWorkedOutByHand) {
    struct Case {
        std::string text;
        std::uint32_t digest;
    };
    // Values computed apart from this code, straight from the formula.
    const std::vector<Case> cases = {
        {"", 0x2C5E91B3u}, // the start value; its top bit is already clear
        {"A", 11501874u},  // 65 + (65 << 6) + (520 << 13) + (715 << 20), XOR 0x2C5E91B3
        {"GSM_KTX", 47461682u},
        {"\xFF", 470929676u}, // bytes count 0..255, never negative
        {"\xE9", 222800538u},
        {std::string(300, '\xFF'), 1207264435u}, // products wrap around 32 bits
    };
    for (const auto& c : cases) {
        EXPECT_EQ(PasswordDigest(c.text), c.digest) << c.text.size() << " bytes";
        EXPECT_LT(PasswordDigest(c.text), 0x80000000u);
    }
}

TEST(PasswordDigestTest, CredentialsIgnoreOnlyTheCaseOfAsciiLetters) {
    const std::uint32_t digest = CredentialsDigest("Abc", "Def");
    EXPECT_EQ(digest, PasswordDigest("ABC_DEF"));
    EXPECT_EQ(CredentialsDigest("aBC", "dEF"), digest);
    // Leading and trailing blanks count.
    EXPECT_NE(CredentialsDigest(" Abc", "Def"), digest);
    EXPECT_NE(CredentialsDigest("Abc", "Def "), digest);
    // Accented letters are not folded: é (E9) and É (C9) differ.
    EXPECT_NE(CredentialsDigest("\xE9", "x"), CredentialsDigest("\xC9", "x"));
    // Name and password are joined with "_", so a "_"-separated piece may move across.
    EXPECT_EQ(CredentialsDigest("AB_C", "DEF"), CredentialsDigest("AB", "C_DEF"));
}

TEST(PasswordDigestTest, FactoryDigestIsTheFactoryUserWithThreeCapitals) {
    ASSERT_EQ(kFactoryPassword.size(), 3u);
    for (const char c : kFactoryPassword) {
        EXPECT_TRUE(c >= 'A' && c <= 'Z');
    }
    EXPECT_EQ(FactoryDigest(), CredentialsDigest("gsm", kFactoryPassword));
    EXPECT_EQ(FactoryDigest(), 47461682u); // "GSM_KTX" above
}

} // namespace
} // namespace tarvik
