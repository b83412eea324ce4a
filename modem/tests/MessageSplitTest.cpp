#include "modem/MessageSplit.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace tarvik::modem {
namespace {

// "TLn=" and 15 digits and ";": 20 characters.
std::string Entry(int n) {
    return "TL" + std::to_string(n) + "=123456789012345;";
}

std::u16string Wide(const std::string& ascii) {
    return std::u16string(ascii.begin(), ascii.end());
}

TEST(MessageSplitTest, CutsBlocksThatDoNotFitOneSmsAfterASemicolon) {
    std::string first = ";"; // ";" and eight entries: 161 characters
    for (int n = 0; n < 8; ++n) {
        first += Entry(n);
    }
    std::string sevenEntries = ";";
    for (int n = 0; n < 7; ++n) {
        sevenEntries += Entry(n);
    }
    // "\x80" is the euro sign in Windows-1252: two septets (3GPP TS 23.038 6.2.1.1), so a
    // block of 160 characters that holds one needs 161 septets.
    const std::string euro = "#1=\x80" + std::string(135, 'a') + ";" + Entry(1);
    // "\xE2" (â) is outside the GSM alphabet: that entry goes in UCS2, 70 characters at most,
    // and the entries after it that fit no more go 7-bit in a message of their own.
    const std::string ucs2 =
        "#1=\xE2" + std::string(15, 'b') + ";" + Entry(1) + Entry(2) + Entry(3);

    struct Case {
        std::string text;
        std::vector<std::u16string> messages;
    };
    const std::vector<Case> cases = {
        {first, {Wide(sevenEntries), Wide(Entry(7))}},
        {euro, {u"#1=\u20AC" + Wide(std::string(135, 'a')) + u";", Wide(Entry(1))}},
        {ucs2,
         {u"#1=\u00E2" + Wide(std::string(15, 'b') + ";" + Entry(1) + Entry(2)), Wide(Entry(3))}},
        // Blocks that fit are one message each, whatever separates them.
        {";TL1=1;\r\n\r\nTL2=2;\r\n\r\n", {u";TL1=1;", u"TL2=2;"}},
        {"", {}},
    };
    for (const auto& c : cases) {
        const MessagePlan plan = PlanMessages(c.text);
        EXPECT_EQ(plan.error, "") << c.text;
        EXPECT_EQ(plan.messages, c.messages) << c.text;
    }
}

TEST(MessageSplitTest, RefusesAnEntryThatFitsNoSms) {
    const MessagePlan plan = PlanMessages(";TL1=1;\r\n\r\nNET=" + std::string(200, 'x') + ";");
    EXPECT_TRUE(plan.messages.empty());
    EXPECT_NE(plan.error.find("does not fit one SMS (205 septets, 160 at most)"), std::string::npos)
        << plan.error;
}

} // namespace
} // namespace tarvik::modem
