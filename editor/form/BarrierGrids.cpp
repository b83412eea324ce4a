// The barrier (RR) and TR lists: each grid edit rewrites its whole block at the end of
// the program text.
#include "base/TextLines.h"
#include "editor/form/FormModel.h"
#include "editor/form/IntegerText.h"
#include "program/LanguageTable.h"

#include <cstdio>
#include <string>
#include <string_view>

namespace tarvik {
namespace {

constexpr std::string_view kRampNumberHeader = "RR Telephone number";
constexpr std::string_view kTrNumberHeader = "TR Telephone number";

std::string OutputHeader(int col) {
    return "Output " + std::to_string(col);
}

constexpr std::size_t kMinBarrierNumber = 3;
constexpr std::size_t kBarrierNameDigits = 8;

bool IsToggleKey(char key) {
    return key == ' ' || (key >= '2' && key <= '9') || (key >= 'A' && key <= 'Z') ||
           (key >= 'a' && key <= 'z');
}

// Removes every line whose upper-cased text begins with prefix, from the last line up.
void RemoveBlock(ProgramText& text, std::string_view prefix) {
    for (std::size_t i = text.size(); i-- > 0;) {
        if (StartsWithUpper(text.line(i), prefix)) {
            text.erase(i);
        }
    }
}

} // namespace

char FormModel::rampKey(int col, int row, char key) {
    if (col == 0 || !ramp_.contains(col, row)) {
        return key;
    }
    if (IsToggleKey(key)) {
        key = ramp_.cell(col, row) == "1" ? '0' : '1';
    }
    // The cell keeps only the one character typed.
    ramp_.setCell(col, row, {});
    return key;
}

// A cell is edited in one line: a line break would split the program line of its entry.
void FormModel::setRampCellText(int col, int row, std::string value) {
    value.resize(FirstLine(value).size());
    ramp_.setCell(col, row, std::move(value));
    rebuildBarrierEntries();
}

void FormModel::setTrCellText(int col, int row, std::string value) {
    value.resize(FirstLine(value).size());
    tr_.setCell(col, row, std::move(value));
    rebuildTrEntries();
}

bool FormModel::storesBarrierNumber(std::string_view number) {
    return number.size() >= kMinBarrierNumber;
}

void FormModel::rebuildBarrierEntries() {
    if (decoding_) {
        return;
    }
    SimProgram& program = doc_.program;
    RemoveBlock(program.text(), "RR");
    for (int row = 1; row < kRampRows; ++row) {
        const std::string& number = ramp_.cell(0, row);
        if (!storesBarrierNumber(number)) {
            continue;
        }
        long long flags = 0;
        for (int col = 1; col < kRampCols; ++col) {
            flags += static_cast<long long>(IntegerOr(ramp_.cell(col, row), 0)) << (col - 1);
        }
        const std::string tail = number.size() > kBarrierNameDigits
                                     ? number.substr(number.size() - kBarrierNameDigits)
                                     : number;
        program.appendProgramEntry("RR" + tail + ":" + std::to_string(flags), number);
    }
    program.buildRemoteText();
}

void FormModel::rebuildTrEntries() {
    if (decoding_) {
        return;
    }
    SimProgram& program = doc_.program;
    RemoveBlock(program.text(), "TR");
    for (int row = 1; row < kTrRows; ++row) {
        const std::string_view number = Trimmed(tr_.cell(1, row));
        if (!number.empty()) {
            program.appendProgramEntry("TR" + tr_.cell(0, row), number);
        }
    }
    program.buildRemoteText();
}

void FormModel::initGrids() {
    writeGridHeaders(false);
    tr_.setCell(0, 0, "TR");
    for (int row = 1; row < kTrRows; ++row) {
        char label[8];
        std::snprintf(label, sizeof label, "%.3d", row - 1);
        tr_.setCell(0, row, label);
    }
}

void FormModel::writeGridHeaders(bool translate) {
    const auto header = [&](std::string_view text) {
        return translate ? TranslateText(language_, text) : std::string(text);
    };
    ramp_.setCell(0, 0, header(kRampNumberHeader));
    for (int col = 1; col < kRampCols; ++col) {
        ramp_.setCell(col, 0, header(OutputHeader(col)));
    }
    tr_.setCell(1, 0, header(kTrNumberHeader));
}

void FormModel::translateGridHeaders() {
    writeGridHeaders(true);
}

} // namespace tarvik
