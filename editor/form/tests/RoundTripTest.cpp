#include "editor/form/FieldTable.h"
#include "editor/form/FormModel.h"

#include <gtest/gtest.h>

namespace tarvik {
namespace {

// A value a user might enter in the field, different from its reset value.
std::string SampleValue(const FieldDef& def, int model) {
    switch (def.kind) {
    case FieldKind::Numeric: {
        const int mid = (def.minValue + def.maxValue) / 2;
        return std::to_string(mid == def.errValue ? mid + 1 : mid);
    }
    case FieldKind::Check:
        return "1";
    case FieldKind::Combo:
        return std::to_string((def.tag + 1) % static_cast<int>(def.items.size()));
    case FieldKind::Text:
        break;
    case FieldKind::Memo:
    case FieldKind::Grid:
        return {};
    }
    switch (def.keyFilter) {
    case KeyFilter::Telephone:
        return "+39" + std::to_string(100 + def.tag);
    case KeyFilter::Link:
        return model == 0 ? "12" : std::to_string(def.tag) + "-3";
    default:
        break;
    }
    std::string text = "Ab c" + std::to_string(def.tag);
    if (def.maxLength > 0 && static_cast<int>(text.size()) > def.maxLength) {
        text.resize(def.maxLength);
    }
    return text;
}

bool Enterable(const FormModel& form, int field) {
    const FieldDef& def = FieldModel::definition(field);
    return HoldsValue(def.kind) && def.onChange != &FormModel::deviceModelChosen &&
           form.fields().editable(field);
}

// Enters the values into every enterable field in table order, then the grids.
void EnterAll(FormModel& form, const std::vector<std::string>& values,
              const std::vector<std::vector<std::string>>& ramp,
              const std::vector<std::string>& tr) {
    for (int f = 0; f < form.fields().size(); ++f) {
        if (Enterable(form, f)) {
            ASSERT_EQ(form.userSetValue(f, values[f]), FormModel::EditResult::Done)
                << FieldModel::definition(f).name;
        }
    }
    for (std::size_t row = 0; row < ramp.size(); ++row) {
        for (int col = 0; col < FormModel::kRampCols; ++col) {
            ASSERT_TRUE(form.userEditRampCell(static_cast<int>(row) + 1, col, ramp[row][col]));
        }
    }
    for (std::size_t row = 0; row < tr.size(); ++row) {
        if (!tr[row].empty()) {
            ASSERT_TRUE(form.userEditTrCell(static_cast<int>(row) + 1, tr[row]));
        }
    }
}

class RoundTripTest : public ::testing::TestWithParam<int> {};

TEST_P(RoundTripTest, ReenteringDecodedValuesRebuildsSameProgram) {
    const int model = GetParam();
    LanguageTable language;

    // A program written by the form itself.
    ProgramDocument original{model};
    FormModel writer(original, language);
    std::vector<std::string> samples;
    for (int f = 0; f < writer.fields().size(); ++f) {
        samples.push_back(SampleValue(FieldModel::definition(f), model));
    }
    EnterAll(writer, samples, {{"+39123456789", "1", "0", "1", "1"}, {"5551234", "0", "1", "", ""}},
             {"", "0421", "", "+3999"});
    const std::vector<std::string> program = original.program.text().lines();
    ASSERT_GT(program.size(), 100U);

    // Decode it, read every field, enter the values into a fresh form.
    writer.decodeProgram();
    std::vector<std::string> shown;
    for (int f = 0; f < writer.fields().size(); ++f) {
        shown.push_back(writer.fields().valueText(f));
    }
    std::vector<std::vector<std::string>> ramp;
    for (int row = 1; !writer.rampGrid().cell(0, row).empty(); ++row) {
        std::vector<std::string> cells;
        for (int col = 0; col < FormModel::kRampCols; ++col) {
            cells.push_back(writer.rampGrid().cell(col, row));
        }
        ramp.push_back(cells);
    }
    std::vector<std::string> tr;
    for (int row = 1; row < FormModel::kTrRows; ++row) {
        tr.push_back(writer.trGrid().cell(1, row));
    }

    ProgramDocument copy{model};
    FormModel reader(copy, language);
    EnterAll(reader, shown, ramp, tr);
    EXPECT_EQ(copy.program.text().lines(), program);

    // Entering the same values again in the decoded form changes nothing either.
    EnterAll(writer, shown, {}, {});
    EXPECT_EQ(original.program.text().lines(), program);
}

INSTANTIATE_TEST_SUITE_P(EveryModel, RoundTripTest, ::testing::Values(0, 1, 2));

} // namespace
} // namespace tarvik
