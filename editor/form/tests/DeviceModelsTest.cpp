#include "editor/form/tests/FormFixture.h"

namespace tarvik::test {
namespace {

using DeviceModelsTest = FormFixture;

TEST_F(DeviceModelsTest, StartsOnThirdModelWithBarrierTab) {
    EXPECT_EQ(form.deviceIndex(), 2);
    EXPECT_EQ(form.checkedDeviceMenuItem(), 2);
    EXPECT_TRUE(form.barrierTabVisible());
    EXPECT_TRUE(form.fields().state(F("EDLanet")).readOnly);
    EXPECT_FALSE(form.fields().state(F("CBIdconV")).enabled);
    EXPECT_FALSE(form.fields().state(F("EDLka")).readOnly);
}

TEST_F(DeviceModelsTest, FirstModelSwapsAllowedFieldsAndKeepsText) {
    load({"LANET=0", "OP1=238", "LKa=5"});
    EXPECT_TRUE(form.fields().state(F("EDLanet")).grey);
    EXPECT_EQ(text("EDLanet"), "0");
    ASSERT_TRUE(form.userChoose(F("CBDevice"), 0));
    EXPECT_FALSE(form.barrierTabVisible());
    EXPECT_EQ(form.checkedDeviceMenuItem(), 0);
    EXPECT_EQ(doc.modelIndex, 0);
    for (const char* name : {"EDLanet", "EDTlchk", "EDOutpr", "EDGsmpr"}) {
        EXPECT_FALSE(form.fields().state(F(name)).readOnly) << name;
        EXPECT_FALSE(form.fields().state(F(name)).grey) << name;
    }
    EXPECT_TRUE(form.fields().state(F("CBIdconV")).enabled);
    EXPECT_TRUE(form.fields().state(F("CBTlchk")).enabled);
    for (const char* name : {"EDLka", "EDLkb", "EDSms_a"}) {
        EXPECT_TRUE(form.fields().state(F(name)).readOnly) << name;
        EXPECT_TRUE(form.fields().state(F(name)).grey) << name;
    }
    EXPECT_EQ(text("EDLka"), "5"); // not allowed, still shown
    EXPECT_EQ(form.fields().state(F("CBOp0")).items[4], "238 -");
    EXPECT_EQ(item("CBOp0"), 4);
    EXPECT_EQ(lines(), (std::vector<std::string>{"LANET=0", "OP1=238", "LKa=5"}));
}

TEST_F(DeviceModelsTest, OtherModelsNameTheLedOutputs) {
    form.chooseDeviceMenuItem(0);
    form.chooseDeviceMenuItem(1);
    const auto& items = form.fields().state(F("CBOp3")).items;
    EXPECT_EQ(items[3], "237 - Vertical GREEN Led (Inverted)");
    EXPECT_EQ(items[6], "240 - Vertical BLUE Led");
    EXPECT_EQ(items[7], "241 - GSM network failure (H/L)");
}

TEST_F(DeviceModelsTest, ModelTextsAreTranslated) {
    language.load({"NC + Reset SMS=NC + SMS di reset", "238 - Vertical GREEN Led=238 - LED verde"});
    form.chooseDeviceMenuItem(1);
    EXPECT_EQ(form.fields().state(F("CBIp4")).items[6], "NC + SMS di reset");
    EXPECT_EQ(form.fields().state(F("CBOp0")).items[4], "238 - LED verde");
    form.chooseDeviceMenuItem(0);
    EXPECT_EQ(form.fields().state(F("CBOp0")).items[4], "238 -");
    EXPECT_EQ(form.fields().state(F("CBIp4")).items[6], "NC + SMS di reset");
}

TEST_F(DeviceModelsTest, MenuItemSelectsModelAndAppliesItOnce) {
    int decodes = 0;
    doc.program.text().assign({"RED=5"});
    const Connection watch = form.fields().connectChanged([&](int field) {
        if (field == F("CBRed") && !form.fields().checked(field)) {
            ++decodes; // each decode resets the box before checking it again
        }
    });
    form.chooseDeviceMenuItem(0);
    EXPECT_EQ(form.deviceIndex(), 0);
    EXPECT_EQ(form.checkedDeviceMenuItem(), 0);
    EXPECT_EQ(decodes, 1);
    form.chooseDeviceMenuItem(7); // not a menu item
    EXPECT_EQ(form.deviceIndex(), 0);
    EXPECT_EQ(decodes, 1);
}

TEST_F(DeviceModelsTest, ModelListenersHearEachApplication) {
    std::vector<bool> tabShown;
    const Connection watch =
        form.connectModelApplied([&] { tabShown.push_back(form.barrierTabVisible()); });
    form.chooseDeviceMenuItem(0);
    ASSERT_TRUE(form.userChoose(F("CBDevice"), 2));
    EXPECT_EQ(tabShown, (std::vector<bool>{false, true}));
}

TEST_F(DeviceModelsTest, NotAllowedFieldsRefuseUserEdits) {
    EXPECT_EQ(form.userSetValue(F("EDLanet"), "02"), FormModel::EditResult::NotEditable);
    EXPECT_EQ(form.userSetValue(F("CBLanet"), "1"), FormModel::EditResult::NotEditable);
    EXPECT_EQ(form.userSetValue(F("CBIdconV"), "1"), FormModel::EditResult::NotEditable);
    EXPECT_TRUE(doc.program.text().empty());
}

TEST_F(DeviceModelsTest, NoModelSelectedAllowsNoMarkedFieldAndKeepsMenuCheck) {
    load({"LKa=5", "OP1=238"});
    form.chooseDeviceMenuItem(1);
    form.fields().setItemIndex(F("CBDevice"), -1);
    form.applyDeviceModel();
    EXPECT_EQ(form.checkedDeviceMenuItem(), 1); // nothing checks another item
    EXPECT_FALSE(form.barrierTabVisible());
    EXPECT_EQ(form.fields().state(F("CBIp2")).items[5], "-");
    EXPECT_EQ(form.fields().state(F("CBIp2")).items[7], "-");
    EXPECT_EQ(form.fields().state(F("CBOp0")).items[4], "238 -");
    for (const char* name : {"EDLka", "EDLanet", "CBIdconV", "CBGsmpr"}) {
        EXPECT_FALSE(form.fields().editable(F(name))) << name;
    }
    EXPECT_TRUE(form.fields().editable(F("EDLk9")));
    EXPECT_EQ(text("EDLka"), "5");
    EXPECT_EQ(item("CBOp0"), 4);
    EXPECT_EQ(doc.modelIndex, 1);
}

TEST_F(DeviceModelsTest, ComboFromCodeDoesNotApplyModel) {
    form.fields().setItemIndex(F("CBDevice"), 0);
    EXPECT_TRUE(form.barrierTabVisible()); // only a user choice or the menu applies it
    form.applyDeviceModel();
    EXPECT_FALSE(form.barrierTabVisible());
}

} // namespace
} // namespace tarvik::test
