#include "program/ProgramEntries.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace tarvik {
namespace {

TEST(ProgramEntriesTest, KeywordCheckFoldsDigitsAndCase) {
    struct Case {
        std::string name;
        bool keyword;
    };
    const std::vector<Case> cases = {
        // table patterns, digits folded to 1
        {"TL7", true},
        {"TL0S", true},
        {"tl3c", true},
        {"OA30", true},
        {"IFA4", true},
        {"IF0", true},
        {"TO1", true},
        {"TK9", true},
        {"RED", true},
        {"mres", true},
        {"SPK", true},
        {"OFM", true},
        {"LANET", true},
        {"TLCHK", true},
        {"GSMPR", true},
        {"IC", true},
        // prefixes
        {"LKA", true},
        {"LK3.1-2", true},
        {"#5ALARM", true},
        {"$6POWER", true},
        {"$aTAMPER", true},
        {"$ATAMPER", true},
        {"V1", true},
        {"V2PRE CRE SIN", true},
        {"V3", true},
        {"RR12345678:3", true},
        {"TR000", true},
        {"rr1", true},
        // rejected
        {"TL12", false},
        {"TLX", false},
        {"T", false},
        {"", false},
        {"$", false},
        {"IC1", false},
        {"TO1:1", false},
        {"REDX", false},
        {"XY", false},
        {"VMT1", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IsProgramKeyword(c.name), c.keyword) << "name: " << c.name;
    }
}

TEST(ProgramEntriesTest, NormaliseNumberReplacesEveryPlus) {
    struct Case {
        std::string text;
        std::string normalised;
    };
    const std::vector<Case> cases = {
        {"+39 333", "0039 333"}, {"+39+1", "0039001"}, {"12+", "1200"}, {"", ""},
        {"0039", "0039"},        {"+++", "000000"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(NormaliseNumber(c.text), c.normalised) << "text: " << c.text;
    }
}

} // namespace
} // namespace tarvik
