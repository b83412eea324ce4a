// The numbers of the form's fields, typed here from the description of each page rather
// than taken from the table, so that a wrong range, reset value, length or item list in the
// table fails: numeric ranges and reset values (ErrValue), the longest texts, and the items
// of every combo box.
#include "editor/form/FieldTable.h"

#include <gtest/gtest.h>
#include <stdexcept>
#include <string>
#include <vector>

namespace tarvik {
namespace {

using Items = std::vector<std::string>;

struct Numeric {
    std::string name;
    int min;
    int max;
    int reset;
};

struct Text {
    std::string name;
    int maxLength;
};

struct Combo {
    std::string name;
    Items items; // the texts that never change with the model; "?" where they do
};

// The names stem + first .. stem + last.
std::vector<std::string> Family(const std::string& stem, int first, int last) {
    std::vector<std::string> names;
    for (int i = first; i <= last; ++i) {
        names.push_back(stem + std::to_string(i));
    }
    return names;
}

const FieldDef& definition(const std::string& name) {
    const int index = FindField(name);
    if (index < 0) {
        throw std::runtime_error("no field " + name);
    }
    return FieldTable()[static_cast<std::size_t>(index)];
}

std::vector<Numeric> NumericFields() {
    std::vector<Numeric> fields = {
        // Options: range and the value a reset shows.
        {"EDRed", 1, 99, 3},      {"EDRfl", 1, 36, 36},   {"EDRft", 1, 36, 36},
        {"EDPtm", 1, 240, 24},    {"EDMic", 0, 24, 12},   {"EDVmt", 1, 240, 5},
        {"EDVbt", 1, 240, 10},    {"EDMRes", 0, 239, 10}, {"EDTlchk", 1, 250, 10},
        {"EDGsmpr", 1, 250, 15},  {"EDMgt", 0, 250, 20},  {"EDRgt", 0, 250, 90},
        {"EDSph", 0, 9999, 3544}, {"EDTpr", 1, 250, 12},  {"EDSpk", 0, 12, 6},
    };
    // Input and output: every numeric field resets to 0.
    const auto add = [&fields](const std::vector<std::string>& names, int max) {
        for (const auto& name : names) {
            fields.push_back({name, 0, max, 0});
        }
    };
    add(Family("EDDl", 0, 3), 240);
    add(Family("EDF", 0, 4), 240);
    add(Family("EDFA", 0, 4), 240);
    add(Family("EDIc", 1, 4), 240);
    add(Family("EDIr", 1, 4), 250);
    add(Family("EDIa", 1, 4), 250);
    add(Family("EDOp", 0, 3), 248);
    return fields;
}

std::vector<Text> TextFields() {
    std::vector<Text> fields = {{"EDLanet", 4}, {"EDOutpr", 1}, {"EDSms_a", 14}};
    for (const auto& name : Family("EDSms", 0, 9)) {
        fields.push_back({name, 14});
    }
    for (const auto& name : Family("EDSms_", 6, 9)) {
        fields.push_back({name, 14});
    }
    return fields;
}

std::vector<Combo> ComboFields() {
    std::vector<Combo> fields = {
        {"CBClpV", {"Visible", "Hidden"}},
        {"CBIdconV", {"Enabled", "Disabled"}},
        {"CBDevice", {"LX5", "TQ4+ 1.7", "TQ4+ BARRIER"}},
    };
    for (const auto& name : Family("CBIp", 0, 4)) {
        fields.push_back({name,
                          {" ", "NO (GND)", "NC", "NO (+12V)", "Disabled", "NO (GND) + Reset SMS",
                           "NC + Reset SMS", "NO (+12V) + Reset SMS"}});
    }
    for (const auto& name : Family("CBOa", 1, 4)) {
        fields.push_back(
            {name,
             {"0", "1   (1-1)", "2   (1-1)", "3   (1-1)", "4   (1-1)", "1   (0-1)", "2   (0-1)",
              "3   (0-1)", "4   (0-1)", "1   (1-0)", "2   (1-0)", "3   (1-0)", "4   (1-0)"}});
    }
    for (const auto& name : Family("CBOp", 0, 3)) {
        // Items 3..6 are named by the model.
        fields.push_back(
            {name,
             {"0 - Disabled", "1 - Bi-stable", "2..236 - Mono-stable", "?", "?", "?", "?",
              "241 - GSM network failure (H/L)", "242 - GSM network failure (L/H)",
              "243 - Expiring validity of SIM card (H/L)",
              "244 - Expiring validity of SIM card (L/H)", "245 -", "246 -", "247 -", "248 -"}});
    }
    for (const auto& name : Family("CBTl", 0, 9)) {
        fields.push_back({name, {"Call + SMS", "Call", "SMS"}});
    }
    for (const auto& name : Family("CBTO", 0, 9)) {
        fields.push_back(
            {name, {"System On/Off", "Output 1", "Output 2", "Output 3", "Output 4", "Call back"}});
    }
    return fields;
}

TEST(FieldNumbersTest, EveryFieldHasTheRangeResetLengthAndItemsOfItsPage) {
    for (const Numeric& expected : NumericFields()) {
        SCOPED_TRACE(expected.name);
        const FieldDef& def = definition(expected.name);
        EXPECT_EQ(def.kind, FieldKind::Numeric);
        EXPECT_EQ(def.minValue, expected.min);
        EXPECT_EQ(def.maxValue, expected.max);
        EXPECT_EQ(def.errValue, expected.reset);
    }
    for (const Text& expected : TextFields()) {
        SCOPED_TRACE(expected.name);
        const FieldDef& def = definition(expected.name);
        EXPECT_EQ(def.kind, FieldKind::Text);
        EXPECT_EQ(def.maxLength, expected.maxLength);
    }
    for (const Combo& expected : ComboFields()) {
        SCOPED_TRACE(expected.name);
        const FieldDef& def = definition(expected.name);
        EXPECT_EQ(def.kind, FieldKind::Combo);
        ASSERT_EQ(def.items.size(), expected.items.size());
        for (std::size_t i = 0; i < expected.items.size(); ++i) {
            if (expected.items[i] != "?") {
                EXPECT_EQ(def.items[i], expected.items[i]) << "item " << i;
            }
        }
    }
}

} // namespace
} // namespace tarvik
