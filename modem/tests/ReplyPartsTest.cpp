// Concatenated SMS-DELIVER parts and status reports, as fixed bytes written from
// 3GPP TS 23.040: §9.2.2.1 SMS-DELIVER, §9.2.2.3 SMS-STATUS-REPORT, §9.2.3.24.1 (IEI 00,
// 8-bit reference) and §9.2.3.24.8 (IEI 08, 16-bit reference). Every PDU has an empty SCA,
// comes from +393331234567 (0C 91 933313325476) and is stamped 2025-01-31 13:05:09.
#include "modem/ReplyParts.h"

#include "base/Hex.h"

#include <algorithm>
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace tarvik::modem {
namespace {

constexpr const char* head = "00440C91933313325476000052101331509000";

// 7-bit text after the header: "Hi" or "!!". A 6-octet header (IEI 00) is 7 septets with
// one fill bit (§9.2.3.24), a 7-octet one (IEI 08) exactly 8 septets.
std::string Part8(const char* sequence, const char* total, bool first) {
    return std::string(head) + "090500032A" + total + sequence + (first ? "9069" : "4221");
}
std::string Part16(const char* sequence, const char* total, bool first) {
    return std::string(head) + "0A0608041234" + total + sequence + (first ? "C834" : "A110");
}

ReceivedSms Decode(const std::string& hex) {
    const auto bytes = FromHex(hex);
    EXPECT_TRUE(bytes) << hex;
    const auto sms = bytes ? DecodeDeliver(*bytes) : std::nullopt;
    EXPECT_TRUE(sms) << hex;
    return sms.value_or(ReceivedSms{});
}

TEST(ReplyPartsTest, ReadsTheConcatenationHeader) {
    struct Case {
        std::string hex;
        std::string text;
        std::optional<MessagePart> part;
    };
    const std::vector<Case> cases = {
        {Part8("01", "02", true), "Hi", MessagePart{0x2A, 2, 1}},
        {Part8("02", "02", false), "!!", MessagePart{0x2A, 2, 2}},
        {Part16("01", "02", true), "Hi", MessagePart{0x1234, 2, 1}},
        {Part16("02", "02", false), "!!", MessagePart{0x1234, 2, 2}},
        // A sequence number of 0 or above the total voids the element (§9.2.3.24.1).
        {Part8("00", "02", true), "Hi", std::nullopt},
        {Part8("03", "02", false), "!!", std::nullopt},
        // No header: "OK" as the plain SMS-DELIVER of §9.2.2.1.
        {"00040C9193331332547600005210133150900002CF25", "OK", std::nullopt},
    };
    for (const auto& c : cases) {
        const ReceivedSms sms = Decode(c.hex);
        EXPECT_EQ(sms.text, c.text) << c.hex;
        EXPECT_EQ(sms.part, c.part) << c.hex;
        EXPECT_EQ(sms.from, "+393331234567") << c.hex;
    }
}

TEST(ReplyPartsTest, JoinsPartsBySequenceAndReportsWhatIsMissing) {
    struct Case {
        std::string name;
        std::vector<std::string> parts;
        std::vector<std::string> whole;      // joined texts, as they complete
        std::vector<std::string> incomplete; // "text|missing" left at the end
    };
    const std::vector<Case> cases = {
        {"8-bit in order", {Part8("01", "02", true), Part8("02", "02", false)}, {"Hi!!"}, {}},
        {"8-bit reversed", {Part8("02", "02", false), Part8("01", "02", true)}, {"Hi!!"}, {}},
        {"16-bit in order", {Part16("01", "02", true), Part16("02", "02", false)}, {"Hi!!"}, {}},
        {"16-bit reversed", {Part16("02", "02", false), Part16("01", "02", true)}, {"Hi!!"}, {}},
        {"8-bit middle missing",
         {Part8("01", "03", true), Part8("03", "03", false)},
         {},
         {"Hi!!|part 2 of 3 missing"}},
        {"16-bit repeated part",
         {Part16("01", "03", true), Part16("01", "03", true)},
         {},
         {"Hi|parts 2, 3 of 3 missing"}},
        // Same reference, other size of reference: two messages, never mixed.
        {"8-bit and 16-bit apart",
         {Part8("01", "02", true), Part16("02", "02", false)},
         {},
         {"Hi|part 2 of 2 missing", "!!|part 1 of 2 missing"}},
    };
    for (const auto& c : cases) {
        ReplyParts joiner;
        std::vector<std::string> whole;
        int tag = 0;
        for (const auto& hex : c.parts) {
            if (const auto joined = joiner.add(Decode(hex), ++tag)) {
                EXPECT_TRUE(joined->missing.empty()) << c.name;
                EXPECT_EQ(joined->tags.size(), c.parts.size()) << c.name;
                EXPECT_EQ(joined->sms.from, "+393331234567") << c.name;
                whole.push_back(joined->sms.text);
            }
        }
        EXPECT_EQ(whole, c.whole) << c.name;
        std::vector<std::string> incomplete;
        for (const auto& left : joiner.takeIncomplete()) {
            incomplete.push_back(left.sms.text + "|" + left.missing);
        }
        std::sort(incomplete.begin(), incomplete.end(), std::greater<>());
        EXPECT_EQ(incomplete, c.incomplete) << c.name;
        EXPECT_TRUE(joiner.takeIncomplete().empty()) << c.name;
    }
}

TEST(ReplyPartsTest, AMessageWithoutPartsPassesAtOnce) {
    ReplyParts joiner;
    const auto joined = joiner.add(Decode(Part8("00", "02", true)), 5);
    ASSERT_TRUE(joined);
    EXPECT_EQ(joined->sms.text, "Hi");
    EXPECT_EQ(joined->tags, std::vector<int>{5});
}

// SMS-STATUS-REPORT (§9.2.2.3): first octet 06, TP-MR, TP-RA, TP-SCTS, TP-DT, TP-ST
// (§9.2.3.15).
TEST(ReplyPartsTest, ReadsStatusReports) {
    struct Case {
        std::string hex;
        std::optional<int> reference;
        int status;
        std::string words;
    };
    const std::string ra = "0C91933313325476";
    const std::string times = "5210133150900052101331510000";
    const std::vector<Case> cases = {
        {"000607" + ra + times + "00", 7, 0x00, "delivered"},
        {"0006FE" + ra + times + "20", 254, 0x20,
         "not yet delivered, the service centre still tries (status 32)"},
        {"000601" + ra + times + "41", 1, 0x41, "not delivered (status 65)"},
        {"000607" + ra + times, std::nullopt, 0, ""},                          // cut before TP-ST
        {"00040C9193331332547600005210133150900002CF25", std::nullopt, 0, ""}, // a DELIVER
    };
    for (const auto& c : cases) {
        const auto report = DecodeStatusReport(*FromHex(c.hex));
        ASSERT_EQ(report.has_value(), c.reference.has_value()) << c.hex;
        if (report) {
            EXPECT_EQ(report->reference, *c.reference) << c.hex;
            EXPECT_EQ(report->recipient, "+393331234567") << c.hex;
            EXPECT_EQ(report->status, c.status) << c.hex;
            EXPECT_EQ(DescribeStatus(report->status), c.words) << c.hex;
        }
    }
}

} // namespace
} // namespace tarvik::modem
