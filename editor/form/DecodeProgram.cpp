#include "editor/form/FieldTable.h"
#include "editor/form/FormModel.h"
#include "editor/form/IntegerText.h"
#include "program/TextLines.h"

#include <algorithm>

namespace tarvik {
namespace {

constexpr std::size_t kMaxValueLength = 64;

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Character n (1-based) of text, or '\0' past its end.
char CharAt(std::string_view text, std::size_t n) {
    return n >= 1 && n <= text.size() ? text[n - 1] : '\0';
}

bool OneOf(std::string_view name, std::initializer_list<std::string_view> names) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

// Index of "0".."9", "A", "B" as 0..11, or -1.
int LinkIndex(char c) {
    if (IsDigit(c)) {
        return c - '0';
    }
    if (c == 'A' || c == 'B') {
        return 10 + (c - 'A');
    }
    return -1;
}

// One program line split the way the form reads it.
struct DecodedLine {
    std::string rawName; // trimmed, case kept (SMS texts)
    std::string name;    // trimmed and upper-cased
    std::string value;   // at most 64 characters after "=", trimmed
    int index = -1;      // digit just before "=" (or the one before it)
};

bool SplitLine(std::string_view line, DecodedLine& out) {
    const std::size_t eq = line.find('=');
    // The name needs at least two characters before "=".
    if (eq == std::string_view::npos || eq < 2) {
        return false;
    }
    out.rawName = std::string(Trimmed(line.substr(0, eq)));
    out.name = UpperAscii(out.rawName);
    out.value = std::string(Trimmed(line.substr(eq + 1, kMaxValueLength)));
    if (IsDigit(line[eq - 1])) {
        out.index = line[eq - 1] - '0';
    } else if (IsDigit(line[eq - 2])) {
        out.index = line[eq - 2] - '0';
    } else {
        out.index = -1;
    }
    return true;
}

// The text an SMS entry carries: the name as written after its "#n" or "$n", at most
// as long as the SMS text fields take.
std::string SmsText(const DecodedLine& d) {
    return d.rawName.substr(std::min<std::size_t>(2, d.rawName.size()), 14);
}

} // namespace

void FormModel::resetForm() {
    for (int f = 0; f < fields_.size(); ++f) {
        if (FieldModel::Def(f).handler != Handler::DeviceChange) {
            fields_.reset(f);
        }
    }
    for (int row = 1; row < kRampRows; ++row) {
        if (!ramp_.cell(0, row).empty()) {
            for (int col = 0; col < kRampCols; ++col) {
                ramp_.setCell(col, row, {});
            }
        }
    }
    for (int row = 1; row < kTrRows; ++row) {
        tr_.setCell(1, row, {});
    }
}

void FormModel::DecodeProgram() {
    decoding_ = true;
    resetForm();
    int rampRow = 1;
    for (const std::string& line : doc_.program.text().lines()) {
        decodeLine(line, rampRow);
    }
    doc_.program.BuildRemoteText();
    decoding_ = false;
}

void FormModel::decodeLine(std::string_view line, int& rampRow) {
    DecodedLine d;
    if (!SplitLine(line, d)) {
        return;
    }
    const std::string& name = d.name;
    const std::string_view two = std::string_view(name).substr(0, 2);
    const std::string& value = d.value;
    const int i = d.index;

    if (two == "TR") {
        const auto t = ParseInteger(std::string_view(name).substr(2, 3));
        if (t && *t >= 0 && *t <= 999) {
            tr_.setCell(1, *t + 1, value);
        }
    } else if (two == "RR") {
        const std::size_t colon = name.find(':');
        // ":" must stand at position 3 (1-based) or later, and only 229 rows exist.
        if (colon == std::string::npos || colon < 2 || rampRow >= kRampRows) {
            return;
        }
        const unsigned flags =
            static_cast<unsigned>(IntegerOr(std::string_view(name).substr(colon + 1), 0));
        ramp_.setCell(0, rampRow, value);
        for (int bit = 0; bit < 4; ++bit) {
            ramp_.setCell(bit + 1, rampRow, (flags >> bit) & 1U ? "1" : "0");
        }
        ++rampRow;
    } else if (two == "TL" && i >= 0) {
        fields_.setText(rowField("EDTl", i), value);
        const char suffix = CharAt(name, 4);
        fields_.setItemIndex(rowField("CBTl", i), suffix == 'C' ? 1 : suffix == 'S' ? 2 : 0);
    } else if (two == "TO") {
        if (name.size() != 5 || name[3] != ':' || !IsDigit(name[2]) || i < 0 || i > 5) {
            return;
        }
        const int row = name[2] - '0';
        fields_.setText(rowField("EDTO", row), value);
        fields_.setItemIndex(rowField("CBTO", row), i);
    } else if (name.starts_with('#')) {
        if (IsDigit(CharAt(name, 2))) {
            fields_.setText(rowField("EDSms", CharAt(name, 2) - '0'), SmsText(d));
        }
    } else if (name.starts_with('$')) {
        const char c = CharAt(name, 2);
        if ((c >= '6' && c <= '9') || c == 'A') {
            const std::string field = c == 'A' ? "EDSms_a" : std::string("EDSms_") + c;
            fields_.setText(Field(field), SmsText(d));
        }
    } else if (two == "IP") {
        if (i >= 0 && i <= 4) {
            const int mode = IntegerOr(value, -1);
            fields_.setItemIndex(rowField("CBIp", i), mode >= -1 && mode <= 6 ? mode + 1 : 0);
        }
    } else if (two == "DL") {
        if (i >= 1 && i <= 4) {
            fields_.setValue(rowField("EDDl", i - 1), IntegerOr(value, 0));
        }
    } else if (two == "OP") {
        if (i >= 1 && i <= 4) {
            fields_.setValue(rowField("EDOp", i - 1), IntegerOr(value, 0));
        }
    } else if (two == "LK") {
        const int link = LinkIndex(CharAt(name, 3));
        if (link < 0) {
            return;
        }
        const std::string field = link < 10 ? "EDLk" + std::to_string(link)
                                            : std::string("EDLk") + (link == 10 ? 'a' : 'b');
        const bool ranged = name.find('.') == 3;
        fields_.setText(Field(field), ranged ? name.substr(4) : value);
    } else if (OneOf(name, {"RED", "RFL", "RFT", "PTM", "MIC", "SPK", "VMT", "VBT", "MRES", "MGT",
                            "RGT", "SPH", "TPR", "GSMPR", "TLCHK"})) {
        const FieldDef* box = nullptr;
        for (const FieldDef& def : FieldTable()) {
            if (def.kind == FieldKind::Check && def.keyword == name) {
                box = &def;
                break;
            }
        }
        if (box != nullptr) {
            const int fallback = OneOf(name, {"RED", "RFL", "RFT", "PTM"}) ? 0 : -1;
            fields_.setChecked(Field(box->name), true);
            fields_.setValue(Field(box->partner), IntegerOr(value, fallback));
        }
    } else if (name == "CLP" || name == "IDCON") {
        const std::string suffix = name == "CLP" ? "Clp" : "Idcon";
        const int v = std::clamp(IntegerOr(value, 1), 0, 1);
        fields_.setChecked(Field("CB" + suffix), true);
        fields_.setItemIndex(Field("CB" + suffix + "V"), 1 - v);
    } else if (OneOf(name, {"NET", "LANET", "OUTPR"})) {
        const std::string suffix = name == "NET" ? "Net" : name == "LANET" ? "Lanet" : "Outpr";
        fields_.setChecked(Field("CB" + suffix), true);
        fields_.setText(Field("ED" + suffix), value);
    } else if (OneOf(name, {"V1", "V2PRE CRE SIN", "V3"})) {
        fields_.setText(Field(std::string("EDV") + name[1]), value);
    } else if (two == "IF") {
        // A name without an index ("IFA=5") selects nothing rather than filter 4.
        const int slot = i >= 0 && CharAt(name, 3) == 'A' ? i + 5 : i;
        if (slot >= 0 && slot <= 4) {
            fields_.setValue(rowField("EDF", slot), IntegerOr(value, 0));
        } else if (slot >= 5 && slot <= 9) {
            fields_.setValue(rowField("EDFA", slot - 5), IntegerOr(value, 0));
        }
    } else if (two == "IC" || two == "IR" || two == "IA") {
        if (i >= 1 && i <= 4) {
            const std::string prefix = std::string("EDI") + static_cast<char>(name[1] + 32);
            fields_.setValue(rowField(prefix, i), IntegerOr(value, 0));
        }
    } else if (two == "OA") {
        const char input = CharAt(name, 3);
        if (input < '1' || input > '4') {
            return;
        }
        const int g = IntegerOr(value, 0);
        int item = g / 10;
        if (name.size() == 4) {
            if (name[3] == '0') {
                item += 4;
            } else if (item > 0 && g % 10 == 0) {
                item += 8;
            }
        }
        if (item > 12 || item < 0) {
            item = 0;
        }
        fields_.setItemIndex(rowField("CBOa", input - '0'), item);
    } else if (two == "TK") {
        if (i >= 0 && i <= 9) {
            fields_.setText(rowField("EDTk", i), value);
        }
    }
}

} // namespace tarvik
