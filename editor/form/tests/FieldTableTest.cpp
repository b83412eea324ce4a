#include "editor/form/FieldTable.h"

#include "editor/form/DeviceModels.h"
#include "editor/form/FieldModel.h"

#include <gtest/gtest.h>
#include <map>
#include <set>
#include <stdexcept>
#include <string>
#include <tuple>

namespace tarvik {
namespace {

TEST(FieldTableTest, NamesAreUniqueAndFound) {
    std::set<std::string> names;
    const auto table = FieldTable();
    for (std::size_t i = 0; i < table.size(); ++i) {
        EXPECT_TRUE(names.insert(table[i].name).second) << table[i].name;
        EXPECT_EQ(FindField(table[i].name), static_cast<int>(i));
    }
    EXPECT_EQ(FindField("EDNothing"), -1);
    EXPECT_GE(table.size(), 160U);
}

TEST(FieldTableTest, FamiliesCarryTheTagsTheirHandlersExpect) {
    struct Expect {
        const char* name;
        int tag;
    };
    const Expect cases[] = {
        {"EDTl0", 0},   {"CBTl9", 9},    {"EDTO5", 5},    {"EDTk3", 3},  {"EDSms7", 7},
        {"EDSms_6", 6}, {"EDSms_a", 10}, {"CBIp4", 4},    {"EDDl0", 0},  {"EDDl3", 3},
        {"EDF0", 0},    {"EDFA4", 4},    {"EDLk9", 9},    {"EDLka", 10}, {"EDLkb", 11},
        {"EDOp0", 1},   {"CBOp3", 4},    {"CBOa1", 1},    {"EDIc4", 4},  {"EDIr1", 1},
        {"EDIa2", 2},   {"EDV1", 0},     {"EDV3", 2},     {"EDRed", 10}, {"EDRfl", 11},
        {"EDRft", 12},  {"EDPtm", 13},   {"EDMic", 14},   {"EDVmt", 15}, {"EDVbt", 16},
        {"EDMRes", 17}, {"EDTlchk", 18}, {"EDGsmpr", 19}, {"EDMgt", 20}, {"EDRgt", 21},
        {"EDSph", 22},  {"EDTpr", 23},   {"EDSpk", 24},
    };
    for (const Expect& c : cases) {
        const int f = FindField(c.name);
        ASSERT_GE(f, 0) << c.name;
        EXPECT_EQ(FieldTable()[f].tag, c.tag) << c.name;
    }
}

TEST(FieldTableTest, OptionPartnersPointBackAndShareTheKeyword) {
    int options = 0;
    for (const FieldDef& def : FieldTable()) {
        if (def.partner.empty()) {
            continue;
        }
        const int partner = FindField(def.partner);
        ASSERT_GE(partner, 0) << def.name;
        EXPECT_EQ(FieldTable()[partner].partner, def.name);
        EXPECT_EQ(FieldTable()[partner].keyword, def.keyword);
        EXPECT_EQ(FieldTable()[partner].marker, def.marker);
        ++options;
    }
    EXPECT_EQ(options, 2 * 20); // twenty check boxes with their value fields
}

TEST(FieldTableTest, ModelMarkersAllowTheRightModels) {
    const char* firstOnly[] = {"CBLanet",  "EDLanet", "CBTlchk", "EDTlchk", "CBIdcon",
                               "CBIdconV", "CBOutpr", "EDOutpr", "CBGsmpr", "EDGsmpr"};
    for (const char* name : firstOnly) {
        const std::string& marker = FieldTable()[FindField(name)].marker;
        EXPECT_TRUE(ModelAllows(marker, 0)) << name;
        EXPECT_FALSE(ModelAllows(marker, 1)) << name;
        EXPECT_FALSE(ModelAllows(marker, 2)) << name;
    }
    for (const char* name : {"EDLka", "EDLkb", "EDSms_a"}) {
        const std::string& marker = FieldTable()[FindField(name)].marker;
        EXPECT_FALSE(ModelAllows(marker, 0)) << name;
        EXPECT_TRUE(ModelAllows(marker, 1)) << name;
        EXPECT_TRUE(ModelAllows(marker, 2)) << name;
    }
    EXPECT_TRUE(ModelAllows("", -1));
    EXPECT_FALSE(ModelAllows("5", -1));
    int marked = 0;
    for (const FieldDef& def : FieldTable()) {
        marked += def.marker.empty() ? 0 : 1;
    }
    EXPECT_EQ(marked, 13);
}

TEST(FieldTableTest, CombosHoldTheirItems) {
    const auto items = [](const char* name) { return FieldTable()[FindField(name)].items; };
    EXPECT_EQ(items("CBDevice"), (std::vector<std::string>{"LX5", "TQ4+ 1.7", "TQ4+ BARRIER"}));
    EXPECT_EQ(items("CBIp0").size(), 8U);
    EXPECT_EQ(items("CBOa1").size(), 13U);
    EXPECT_EQ(items("CBOa1")[5], "1   (0-1)");
    EXPECT_EQ(items("CBOp0").size(), 15U);
    EXPECT_EQ(items("CBTO0")[5], "Call back");
}

TEST(FieldTableTest, TabsAreInPageOrder) {
    std::vector<std::string_view> captions;
    for (const Tab tab : FormTabs()) {
        captions.push_back(TabCaption(tab));
    }
    EXPECT_EQ(captions, (std::vector<std::string_view>{"Main", "Options", "Input", "Output",
                                                       "Telephone", "BARRIER Telephone", "SMS"}));
}

TEST(FieldTableTest, EveryFieldSitsInAGroupOfItsPage) {
    for (const FieldDef& def : FieldTable()) {
        if (def.tab == Tab::None) {
            EXPECT_EQ(def.name, "CBDevice"); // the tool bar holds only the model selector
            continue;
        }
        int found = 0;
        for (const GroupDef& group : FormGroups()) {
            if (group.caption == def.group) {
                ++found;
                EXPECT_EQ(group.tab, def.tab) << def.name;
            }
        }
        EXPECT_EQ(found, 1) << def.name << " in " << def.group;
    }
}

// Two controls in one cell would be drawn over each other.
TEST(FieldTableTest, NoTwoFieldsOrGroupsShareACell) {
    std::map<std::tuple<std::string, int, int>, std::string> cells;
    for (const FieldDef& def : FieldTable()) {
        for (int c = def.column; c < def.column + def.columnSpan; ++c) {
            const auto [at, fresh] = cells.emplace(std::tuple(def.group, def.row, c), def.name);
            EXPECT_TRUE(fresh) << def.name << " lies on " << at->second;
        }
    }
    std::map<std::tuple<Tab, int, int>, std::string> places;
    for (const GroupDef& group : FormGroups()) {
        for (int r = group.row; r < group.row + group.rowSpan; ++r) {
            for (int c = group.column; c < group.column + group.columnSpan; ++c) {
                const auto [at, fresh] = places.emplace(std::tuple(group.tab, r, c), group.caption);
                EXPECT_TRUE(fresh) << group.caption << " lies on " << at->second;
            }
        }
    }
}

TEST(FieldTableTest, InputGroupHasOneColumnPerHeading) {
    const GroupDef* input = nullptr;
    for (const GroupDef& group : FormGroups()) {
        if (group.caption == "Input (IP)") {
            input = &group;
        }
    }
    ASSERT_NE(input, nullptr);
    struct Expect {
        const char* field;
        int row;
        const char* heading; // the heading of the field's column, or the one it stretches
    };
    const Expect cases[] = {
        {"CBIp0", 0, "Mode"},
        {"EDDl0", 1, "Delay (DL)"},
        {"EDF0", 0, "Filter (IF, IFA)"},
        {"EDFA4", 4, "Filter (IF, IFA)"},
        {"CBOa4", 4, "Direct alarm (OA)"},
        {"EDIc1", 1, "Counter trigger (IC)"},
        {"EDIr2", 2, "Counter reset (IR)"},
        {"EDIa3", 3, "Re-send SMS (IA)"},
    };
    for (const Expect& c : cases) {
        const FieldDef& def = FieldTable()[FindField(c.field)];
        EXPECT_EQ(def.group, "Input (IP)") << c.field;
        EXPECT_EQ(def.row, c.row) << c.field;
        int column = def.column;
        while (column > 0 && input->columnHeadings.at(column).empty()) {
            --column;
        }
        EXPECT_EQ(input->columnHeadings.at(column), c.heading) << c.field;
    }
    EXPECT_EQ(FieldTable()[FindField("CBIp0")].caption, "Reset");
    EXPECT_EQ(FieldTable()[FindField("CBIp4")].caption, "Alarm 4");
}

// ---- FieldModel -----------------------------------------------------------------------

TEST(FieldModelTest, NumericReadParsesAndClampsAndTellsBadNumbers) {
    FieldModel m;
    const int f = FindField("EDRed"); // 1..99, ErrValue 3
    struct Case {
        const char* text;
        int value;
        bool bad;
    };
    const Case cases[] = {{"50", 50, false}, {"0", 1, false},         {"500", 99, false},
                          {"", 3, false},    {"x", 3, true},          {"-", 3, true},
                          {"-5", 1, false},  {"99999999999", 3, true}};
    for (const Case& c : cases) {
        m.setText(f, c.text);
        EXPECT_EQ(m.value(f), c.value) << c.text;
        EXPECT_EQ(m.badNumber(f), c.bad) << c.text;
    }
}

TEST(FieldModelTest, IndexOutsideTableIsRefusedNotRead) {
    FieldModel m;
    EXPECT_THROW(FieldModel::definition(-1), std::out_of_range);
    EXPECT_THROW(FieldModel::definition(m.size()), std::out_of_range);
    EXPECT_THROW(m.setText(m.size(), "1"), std::out_of_range);
    EXPECT_EQ(FieldModel::definition(m.size() - 1).name, FieldTable().back().name);
}

TEST(FieldModelTest, EqualBoundsMeanNoClamping) {
    FieldDef def;
    def.minValue = 0;
    def.maxValue = 0;
    EXPECT_EQ(ClampToRange(def, 1234), 1234);
    def.maxValue = 10;
    EXPECT_EQ(ClampToRange(def, 1234), 10);
    EXPECT_EQ(ClampToRange(def, -1), 0);
}

TEST(FieldModelTest, ValueAndCheckChangesFireButComboCodeChangesDoNot) {
    FieldModel m;
    std::vector<int> fired;
    m.setChangeHandler([&](int field) { fired.push_back(field); });
    const int text = FindField("EDTl0");
    const int box = FindField("CBRed");
    const int combo = FindField("CBTl0");
    m.setText(text, "1");
    m.setText(text, "1"); // unchanged: nothing fires
    m.setChecked(box, true);
    m.setChecked(box, true);
    m.setItemIndex(combo, 2);
    EXPECT_EQ(fired, (std::vector<int>{text, box}));
    m.choose(combo, 2); // a user choice fires even for the same item
    m.choose(combo, 9); // no such item
    EXPECT_EQ(fired, (std::vector<int>{text, box, combo}));
}

TEST(FieldModelTest, ListenersHearValuesItemsAndStates) {
    FieldModel m;
    std::vector<int> heard;
    const Connection watch = m.connectChanged([&](int field) { heard.push_back(field); });
    const int combo = FindField("CBOp0");
    m.setItemIndex(combo, 3);
    m.setItemText(combo, 3, "237 - x");
    m.setAllowed(combo, false);
    EXPECT_EQ(heard, (std::vector<int>{combo, combo, combo}));
    EXPECT_FALSE(m.editable(combo));
    EXPECT_TRUE(m.state(combo).grey);
}

TEST(FieldModelTest, NotAllowedCheckBoxIsDisabledButNotGrey) {
    FieldModel m;
    const int box = FindField("CBLanet");
    const int edit = FindField("EDLanet");
    m.setAllowed(box, false);
    m.setAllowed(edit, false);
    EXPECT_FALSE(m.state(box).enabled);
    EXPECT_FALSE(m.state(box).grey);
    EXPECT_TRUE(m.state(edit).readOnly);
    EXPECT_TRUE(m.state(edit).grey);
    m.setAllowed(edit, true);
    EXPECT_TRUE(m.editable(edit));
}

} // namespace
} // namespace tarvik
