#include "editor/form/tests/FormFixture.h"

#include <string>
#include <vector>

namespace tarvik::test {
namespace {

using Kind = EditChange::Kind;

// What the form reports about typing it did not take as typed; the field ends with what a
// user would see.
class EditChangesTest : public FormFixture {};

TEST_F(EditChangesTest, TypingReportsEachWayTheFormChangedIt) {
    struct Case {
        std::string field;
        std::string typed;
        std::vector<Kind> kinds;
        std::string text; // the field's text afterwards
    };
    const std::vector<Case> cases = {
        {"EDRed", "42", {}, "42"},
        {"EDRed", "4\b7", {}, "7"}, // a deleted key is not a refusal
        {"EDRed", "999", {Kind::AboveMaximum}, "999"},
        {"EDRed", "x-", {Kind::KeysRefused, Kind::NotANumber}, "-"},
        {"EDTl1", "+39 1", {Kind::KeysRefused}, "+391"},
        {"EDTl1", "abc+1234#*", {Kind::KeysRefused}, "+1234#*"},
        {"EDTO2", "*31#\b#", {}, "*31#"},
        {"EDTk3", "+3+9", {Kind::KeysRefused}, "+39"},
        {"EDSms1", "a=b", {Kind::KeysRefused}, "ab"},
        {"EDSms2", "1 3=5678901234567", {Kind::KeysRefused, Kind::Cut}, "1 35678901234567"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.field + " " + c.typed);
        EditChanges changes;
        ASSERT_TRUE(form.userEditText(F(c.field), c.typed, &changes));
        std::vector<Kind> kinds;
        for (const auto& change : changes) {
            kinds.push_back(change.kind);
        }
        EXPECT_EQ(kinds, c.kinds);
        EXPECT_EQ(text(c.field), c.text.substr(0, 14));
    }
}

TEST_F(EditChangesTest, ReportsCarryWhatWasRefusedAndTheLimit) {
    EditChanges changes;
    form.userEditText(F("EDSms2"), "a=b=\ncdefghijklmnopq", &changes);
    ASSERT_EQ(changes.size(), 2u);
    EXPECT_EQ(changes[0].text, "==\n");
    EXPECT_EQ(changes[1].limit, 14);

    changes.clear();
    form.userEditText(F("EDRed"), "-4", &changes);
    ASSERT_EQ(changes.size(), 1u);
    EXPECT_EQ(changes[0].text, "-4");
    EXPECT_EQ(changes[0].limit, 1);
}

TEST_F(EditChangesTest, GridCellsReportLinesFlagKeysAndNumbersTooShort) {
    struct Case {
        bool tr;
        int row;
        int col;
        std::string typed;
        std::vector<Kind> kinds;
    };
    const std::vector<Case> cases = {
        {false, 1, 0, "0039333", {}},
        {false, 1, 0, "0039333\n4", {Kind::FirstLine}},
        {false, 2, 0, "12", {Kind::NotStored}},
        {false, 1, 1, "1", {}},
        {false, 1, 2, " ", {Kind::OneKey}},
        {false, 1, 3, "10", {Kind::OneKey}},
        {true, 4, 1, "555", {}},
        {true, 4, 1, "5\n6", {Kind::FirstLine}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        EditChanges changes;
        ASSERT_TRUE(c.tr ? form.userEditTrCell(c.row, c.typed, &changes)
                         : form.userEditRampCell(c.row, c.col, c.typed, &changes));
        std::vector<Kind> kinds;
        for (const auto& change : changes) {
            kinds.push_back(change.kind);
        }
        EXPECT_EQ(kinds, c.kinds);
    }
}

} // namespace
} // namespace tarvik::test
