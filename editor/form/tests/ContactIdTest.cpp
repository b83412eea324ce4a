// The Contact ID option, both ways, with the entries written out in full: the check box and
// its combo write IDCON=1 for "Enabled" and IDCON=0 for "Disabled", and a program's IDCON
// line shows as the check box and the item that would write it.
#include "editor/form/tests/FormFixture.h"

#include <string>
#include <vector>

namespace tarvik {
namespace {

using Lines = std::vector<std::string>;

class ContactIdTest : public test::FormFixture {
protected:
    // Contact ID belongs to the first model.
    void SetUp() override { form.chooseDeviceMenuItem(0); }
};

TEST_F(ContactIdTest, CheckBoxAndItemWriteTheEntry) {
    click("CBIdcon", true);
    EXPECT_EQ(lines(), (Lines{"IDCON=1"})); // "Enabled", item 0
    choose("CBIdconV", 1);
    EXPECT_EQ(lines(), (Lines{"IDCON=0"})); // "Disabled"
    choose("CBIdconV", 0);
    EXPECT_EQ(lines(), (Lines{"IDCON=1"}));
    click("CBIdcon", false);
    EXPECT_EQ(lines(), Lines{});
    // With the box unchecked, choosing an item writes nothing; checking it then writes
    // the item shown.
    choose("CBIdconV", 1);
    EXPECT_EQ(lines(), Lines{});
    click("CBIdcon", true);
    EXPECT_EQ(lines(), (Lines{"IDCON=0"}));
}

TEST_F(ContactIdTest, EntryShowsAsCheckBoxAndItem) {
    struct Case {
        std::string line;
        bool checked;
        int item; // 0 "Enabled", 1 "Disabled"
    };
    const std::vector<Case> cases = {
        {"IDCON=1", true, 0},   {"IDCON=0", true, 1},   {"IDCON=7", true, 0},
        {"IDCON=-3", true, 1},  {"IDCON=abc", true, 0}, {"IDCON=", true, 0},
        {"idcon = 0", true, 1}, {"IDCO=0", false, 0},   {"TL1=5", false, 0},
    };
    for (const Case& c : cases) {
        load({c.line});
        EXPECT_EQ(checked("CBIdcon"), c.checked) << c.line;
        EXPECT_EQ(item("CBIdconV"), c.item) << c.line;
        EXPECT_EQ(lines(), Lines{c.line}) << "decoding writes nothing";
    }
}

} // namespace
} // namespace tarvik
