#include "editor/form/EditSteps.h"

#include "editor/form/tests/FormFixture.h"

namespace tarvik::test {
namespace {

using Lines = std::vector<std::string>;

class EditStepsTest : public FormFixture {};

TEST_F(EditStepsTest, RestoreBringsBackTextModelFormGridsAndRemoteText) {
    load({"TL1=0039123", "RR555:0=555"});
    const ProgramState barrier = CurrentState(doc);
    choose("CBDevice", 0);
    type("EDTl1", "0456");
    const ProgramState edited = CurrentState(doc);
    ASSERT_EQ(edited.modelIndex, 0);

    struct Case {
        const ProgramState& state;
        const char* tl1;
        bool barrierTab;
    };
    const Case cases[] = {
        {barrier, "0039123", true},
        {edited, "0456", false},
        {barrier, "0039123", true},
    };
    for (const Case& c : cases) {
        RestoreState(form, c.state);
        EXPECT_EQ(CurrentState(doc), c.state);
        EXPECT_EQ(text("EDTl1"), c.tl1);
        EXPECT_EQ(form.rampGrid().cell(0, 1), "555");
        EXPECT_EQ(form.barrierTabVisible(), c.barrierTab);
        EXPECT_EQ(form.checkedDeviceMenuItem(), c.state.modelIndex);
        EXPECT_EQ(doc.program.remoteText(), BuildRemoteText(c.state.lines));
    }
}

TEST_F(EditStepsTest, TypingLastsWhileTheFocusStaysInTheMemoOrAnEditBox) {
    const struct {
        const char* field;
        bool typing;
    } cases[] = {
        {"MemoSim", true}, {"EDTl1", true},  {"EDRed", true},   {"MemoNote", false},
        {"CBTl1", false},  {"CBRed", false}, {"SGRamp", false}, {"", false},
    };
    for (const auto& c : cases) {
        form.focusField(*c.field ? F(c.field) : -1);
        EXPECT_EQ(TypingInProgress(form), c.typing) << c.field;
    }
}

TEST(EditStepNameTest, ModelBeforeMemoBeforeField) {
    const ProgramState a{{"TL1=1"}, 2};
    const ProgramState b{{"TL1=2"}, 2};
    const ProgramState c{{"TL1=2"}, 0};
    const int memo = FormModel::fieldIndex("MemoSim");
    const int field = FormModel::fieldIndex("EDTl1");
    EXPECT_EQ(StepName(a, c, memo), kModelStep);
    EXPECT_EQ(StepName(a, b, memo), kTypingStep);
    EXPECT_EQ(StepName(a, b, field), kFieldStep);
    EXPECT_EQ(StepName(a, b, -1), kFieldStep);
}

} // namespace
} // namespace tarvik::test
