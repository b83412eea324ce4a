#include "editor/sim/CardText.h"

#include "editor/sim/SimMessages.h"

#include <array>
#include <gtest/gtest.h>
#include <string>

namespace tarvik {
namespace {

TEST(CardText, CopyWide64CutsTo64UnitsAndEndsWithZero) {
    struct Case {
        std::u16string source;
        std::size_t capacity;
        std::u16string copied;
    };
    const std::u16string seventy(70, u'7');
    const std::vector<Case> cases = {
        {u"", 256, u""},
        {u"TL1", 256, u"TL1"},
        {seventy.substr(0, 64), 256, seventy.substr(0, 64)},
        {seventy, 512, seventy.substr(0, 64)},
        {u"\u20ACuro", 256, u"\u20ACuro"},
        {u"abcdef", 4, u"abc"},
    };
    for (const auto& c : cases) {
        std::u16string destination(c.capacity, u'x');
        CopyWide64(c.source, destination);
        EXPECT_EQ(destination.substr(0, c.copied.size()), c.copied);
        EXPECT_EQ(destination[c.copied.size()], u'\0');
        if (c.copied.size() + 1 < c.capacity) {
            EXPECT_EQ(destination[c.copied.size() + 1], u'x') << "wrote past the end";
        }
    }
}

TEST(CardText, TextUpToNulStopsAtTheFirstZeroOrTheFieldEnd) {
    const std::array<char16_t, 5> withNul{u'a', u'b', 0, u'c', 0};
    EXPECT_EQ(TextUpToNul(withNul), u"ab");
    const std::array<char16_t, 3> full{u'a', u'b', u'c'};
    EXPECT_EQ(TextUpToNul(full), u"abc");
}

TEST(CardText, NamesCompareWithoutRegardToCase) {
    struct Case {
        std::u16string a, b;
        bool same;
    };
    const std::vector<Case> cases = {
        {u"home", u"HOME", true},
        {u"Caf\u00E9", u"CAF\u00C9", true},
        {u"\u0153uvre", u"\u0152UVRE", true},
        {u"\u00FF", u"\u0178", true},
        {u"\u0161\u017E", u"\u0160\u017D", true},
        {u"\u00F7", u"\u00D7", false},
        {u"HOME", u"HOMES", false},
        {u"", u"", true},
        {u"TL1", u"TL2", false},
        {u"\u00DF", u"\u00DF", true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SameNameIgnoringCase(c.a, c.b), c.same)
            << std::string(c.a.begin(), c.a.end()) << " / " << std::string(c.b.begin(), c.b.end());
        EXPECT_EQ(SameNameIgnoringCase(c.b, c.a), c.same);
    }
}

TEST(CardText, ProgressCaptionCountsFromOne) {
    EXPECT_EQ(ProgressCaption(3, 250), "SIM 3 / 250");
}

} // namespace
} // namespace tarvik
