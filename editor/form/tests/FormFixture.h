#pragma once

#include "editor/form/DeviceModels.h"
#include "editor/form/FormModel.h"
#include "program/LanguageTable.h"
#include "program/ProgramDocument.h"

#include <gtest/gtest.h>
#include <string>
#include <string_view>
#include <vector>

namespace tarvik::test {

// A document with a form on it, and short ways to reach fields by name.
class FormFixture : public ::testing::Test {
protected:
    ProgramDocument doc{kDefaultModelIndex};
    LanguageTable language;
    FormModel form{doc, language};
    // Warning beeps the form asked for.
    int beeps = 0;
    Connection beepWatch = form.connectBeep([this] { ++beeps; });

    static int F(std::string_view name) { return FormModel::fieldIndex(name); }

    // Replaces the program text and decodes it, as a load does.
    void load(std::vector<std::string> lines) {
        doc.program.text().assign(std::move(lines));
        form.decodeProgram();
    }
    std::vector<std::string> lines() const { return doc.program.text().lines(); }

    const std::string& text(std::string_view name) { return form.fields().text(F(name)); }
    int item(std::string_view name) { return form.fields().itemIndex(F(name)); }
    bool checked(std::string_view name) { return form.fields().checked(F(name)); }
    int value(std::string_view name) { return form.fields().value(F(name)); }

    void type(std::string_view name, std::string_view typed) {
        ASSERT_TRUE(form.userEditText(F(name), typed)) << name;
    }
    void choose(std::string_view name, int index) {
        ASSERT_TRUE(form.userChoose(F(name), index)) << name;
    }
    void click(std::string_view name, bool on) {
        ASSERT_TRUE(form.userSetChecked(F(name), on)) << name;
    }
};

} // namespace tarvik::test
