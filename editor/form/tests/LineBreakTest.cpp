// A line break pasted into a one-line field or a grid cell would split the program line of
// its entry: the rest would become a line of its own, read back as another entry. A one-line
// edit keeps the first line of such a text, and line-break keys typed into it insert nothing.
#include "editor/form/tests/FormFixture.h"

#include <string>
#include <vector>

namespace tarvik {
namespace {

using Lines = std::vector<std::string>;

class LineBreakTest : public test::FormFixture {};

TEST_F(LineBreakTest, AOneLineFieldKeepsTheFirstLineOfAPastedText) {
    struct Case {
        const char* field;
        std::string pasted;
        Lines program;
    };
    const std::vector<Case> cases = {
        {"EDTl1", "0039123\r\nRED=1", {"TL1=0039123"}},    {"EDTk2", "333\nOP1=5", {"TK2=333"}},
        {"EDSms1", "Door open\rTL1=5", {"#1Door-open=1"}}, {"EDLk4", "1-2\n3", {"LK4.1-2=0"}},
        {"EDV2", "*123#\r\n", {"V2PRE CRE SIN=*123#"}},    {"EDTl3", "\r\n0039", {}},
    };
    for (const Case& c : cases) {
        load({});
        form.focusField(F(c.field)); // the handlers of some fields write only with the focus
        form.commitTypedText(F(c.field), c.pasted);
        EXPECT_EQ(lines(), c.program) << c.field;
    }
}

TEST_F(LineBreakTest, TypedLineBreakKeysInsertNothing) {
    type("EDLk4", "1-2\n3\r4");
    EXPECT_EQ(lines(), (Lines{"LK4.1-234=0"}));
}

TEST_F(LineBreakTest, AGridCellKeepsTheFirstLineOfWhatIsTyped) {
    ASSERT_TRUE(form.userEditRampCell(1, 0, "0039333\r\nTR007=0039111"));
    ASSERT_TRUE(form.userEditTrCell(5, "0039444\nRED=2"));
    for (const std::string& line : lines()) {
        EXPECT_EQ(line.find_first_of("\r\n"), std::string::npos) << line;
    }
    EXPECT_EQ(form.rampGrid().cell(0, 1), "0039333");
    EXPECT_EQ(form.trGrid().cell(1, 5), "0039444");
    EXPECT_EQ(lines().size(), 2u);
}

} // namespace
} // namespace tarvik
