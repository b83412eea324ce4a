// Program-to-form decoding: every line of the program text, in order, through the first
// rule of the rule table that takes it.
#include "base/TextLines.h"
#include "editor/form/FieldTable.h"
#include "editor/form/FormModel.h"
#include "editor/form/IntegerText.h"

#include <algorithm>
#include <unordered_map>

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

// Sets a flag for as long as it lives, so that no way out of a scope (a throw included)
// leaves the flag set.
class ScopedFlag {
public:
    explicit ScopedFlag(bool& flag) : flag_(flag) { flag_ = true; }
    ScopedFlag(const ScopedFlag&) = delete;
    ScopedFlag& operator=(const ScopedFlag&) = delete;
    ~ScopedFlag() { flag_ = false; }

private:
    bool& flag_;
};

// The field owning each keyword entry: option check boxes and the pre-pay fields.
int KeywordOwner(std::string_view name) {
    static const std::unordered_map<std::string_view, int> owners = [] {
        std::unordered_map<std::string_view, int> map;
        const auto table = FieldTable();
        for (std::size_t f = 0; f < table.size(); ++f) {
            const FieldDef& def = table[f];
            if (!def.keyword.empty() && (def.kind == FieldKind::Check || def.partner.empty())) {
                map.emplace(def.keyword, static_cast<int>(f));
            }
        }
        return map;
    }();
    const auto it = owners.find(name);
    return it == owners.end() ? -1 : it->second;
}

} // namespace

// One program line split the way the form reads it.
struct FormModel::DecodedLine {
    std::string rawName; // trimmed, case kept (SMS texts)
    std::string name;    // trimmed and upper-cased
    std::string value;   // at most 64 characters after "=", trimmed
    int index = -1;      // digit just before "=" (or the one before it)

    // The text an SMS entry carries: the name as written after its "#n" or "$n", at most
    // as long as the field that shows it takes.
    std::string smsText(int field) const {
        const auto length = static_cast<std::size_t>(FieldModel::definition(field).maxLength);
        return rawName.substr(std::min<std::size_t>(2, rawName.size()), length);
    }
};

// The rule takes names that begin with key (whole: names equal to a table keyword).
struct FormModel::LineRule {
    std::string_view key;
    LineDecoder decode;
};

std::span<const FormModel::LineRule> FormModel::lineRules() {
    // In this order: a name reaches a later rule only when the earlier ones leave it.
    static constexpr LineRule rules[] = {
        {"TR", &FormModel::decodeTr},      {"RR", &FormModel::decodeRr},
        {"TL", &FormModel::decodeTl},      {"TO", &FormModel::decodeTo},
        {"#", &FormModel::decodeSms},      {"$", &FormModel::decodeSms6},
        {"IP", &FormModel::decodeIp},      {"DL", &FormModel::decodeDl},
        {"OP", &FormModel::decodeOp},      {"LK", &FormModel::decodeLk},
        {"", &FormModel::decodeKeyword},   {"IF", &FormModel::decodeIf},
        {"IC", &FormModel::decodeCounter}, {"IR", &FormModel::decodeCounter},
        {"IA", &FormModel::decodeCounter}, {"OA", &FormModel::decodeOa},
        {"TK", &FormModel::decodeTk},
    };
    return rules;
}

void FormModel::resetForm() {
    for (int f = 0; f < fields_.size(); ++f) {
        if (FieldModel::definition(f).onChange != &FormModel::deviceModelChosen) {
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

void FormModel::decodeProgram() {
    const ScopedFlag decoding(decoding_);
    resetForm();
    nextRampRow_ = 1;
    for (const std::string& line : doc_.program.text().lines()) {
        decodeLine(line);
    }
    doc_.program.buildRemoteText();
}

void FormModel::decodeLine(std::string_view line) {
    const std::size_t eq = line.find('=');
    // The name needs at least two characters before "=".
    if (eq == std::string_view::npos || eq < 2) {
        return;
    }
    DecodedLine d;
    d.rawName = std::string(Trimmed(line.substr(0, eq)));
    d.name = UpperAscii(d.rawName);
    d.value = std::string(Trimmed(line.substr(eq + 1, kMaxValueLength)));
    if (IsDigit(line[eq - 1])) {
        d.index = line[eq - 1] - '0';
    } else if (IsDigit(line[eq - 2])) {
        d.index = line[eq - 2] - '0';
    }
    for (const LineRule& rule : lineRules()) {
        if (d.name.starts_with(rule.key) && (this->*rule.decode)(d)) {
            return;
        }
    }
}

// ---- The rules: each returns false only when its condition does not hold ---------------

bool FormModel::decodeTr(const DecodedLine& d) {
    const auto t = ParseInteger(std::string_view(d.name).substr(2, 3));
    if (t && *t >= 0 && *t <= 999) {
        tr_.setCell(1, *t + 1, d.value);
    }
    return true;
}

bool FormModel::decodeRr(const DecodedLine& d) {
    const std::size_t colon = d.name.find(':');
    // ":" must stand at position 3 (1-based) or later, and only 229 rows exist.
    if (colon == std::string::npos || colon < 2 || nextRampRow_ >= kRampRows) {
        return true;
    }
    const auto flags =
        static_cast<unsigned>(IntegerOr(std::string_view(d.name).substr(colon + 1), 0));
    ramp_.setCell(0, nextRampRow_, d.value);
    for (int bit = 0; bit < 4; ++bit) {
        ramp_.setCell(bit + 1, nextRampRow_, (flags >> bit) & 1U ? "1" : "0");
    }
    ++nextRampRow_;
    return true;
}

bool FormModel::decodeTl(const DecodedLine& d) {
    if (d.index < 0) {
        return false; // TLCHK: left to its keyword
    }
    fields_.setText(rowField("EDTl", d.index), d.value);
    const char variant = CharAt(d.name, 4);
    fields_.setItemIndex(rowField("CBTl", d.index), variant == 'C' ? 1 : variant == 'S' ? 2 : 0);
    return true;
}

bool FormModel::decodeTo(const DecodedLine& d) {
    const std::string& name = d.name;
    if (name.size() != 5 || name[3] != ':' || !IsDigit(name[2]) || d.index < 0 || d.index > 5) {
        return true;
    }
    const int row = name[2] - '0';
    fields_.setText(rowField("EDTO", row), d.value);
    fields_.setItemIndex(rowField("CBTO", row), d.index);
    return true;
}

bool FormModel::decodeSms(const DecodedLine& d) {
    const char digit = CharAt(d.name, 2);
    if (IsDigit(digit)) {
        const int field = rowField("EDSms", digit - '0');
        fields_.setText(field, d.smsText(field));
    }
    return true;
}

bool FormModel::decodeSms6(const DecodedLine& d) {
    const char c = CharAt(d.name, 2);
    if ((c >= '6' && c <= '9') || c == 'A') {
        const int field = fieldIndex(c == 'A' ? "EDSms_a" : std::string("EDSms_") + c);
        fields_.setText(field, d.smsText(field));
    }
    return true;
}

bool FormModel::decodeIp(const DecodedLine& d) {
    if (d.index >= 0 && d.index <= 4) {
        const int mode = IntegerOr(d.value, -1);
        fields_.setItemIndex(rowField("CBIp", d.index), mode >= -1 && mode <= 6 ? mode + 1 : 0);
    }
    return true;
}

bool FormModel::decodeDl(const DecodedLine& d) {
    if (d.index >= 1 && d.index <= 4) {
        fields_.setValue(rowField("EDDl", d.index - 1), IntegerOr(d.value, 0));
    }
    return true;
}

bool FormModel::decodeOp(const DecodedLine& d) {
    if (d.index >= 1 && d.index <= 4) {
        fields_.setValue(rowField("EDOp", d.index - 1), IntegerOr(d.value, 0));
    }
    return true;
}

bool FormModel::decodeLk(const DecodedLine& d) {
    const int link = LinkIndex(CharAt(d.name, 3));
    if (link < 0) {
        return true;
    }
    const std::string field =
        link < 10 ? "EDLk" + std::to_string(link) : std::string("EDLk") + (link == 10 ? 'a' : 'b');
    const bool ranged = d.name.find('.') == 3;
    fields_.setText(fieldIndex(field), ranged ? d.name.substr(4) : d.value);
    return true;
}

// The options (a check box with its value field) and the pre-pay fields, found by the
// keyword the field table gives them.
bool FormModel::decodeKeyword(const DecodedLine& d) {
    const int owner = KeywordOwner(d.name);
    if (owner < 0) {
        return false;
    }
    const FieldDef& def = FieldModel::definition(owner);
    if (def.kind != FieldKind::Check) {
        fields_.setText(owner, d.value); // a pre-pay field shows the value as it is
        return true;
    }
    fields_.setChecked(owner, true);
    const int valueField = fieldIndex(def.partner);
    const FieldDef& value = FieldModel::definition(valueField);
    switch (value.kind) {
    case FieldKind::Numeric:
        fields_.setValue(valueField, IntegerOr(d.value, value.decodeDefault));
        break;
    case FieldKind::Combo:
        // Item 0 stands for 1 ("Visible", "Enabled"), item 1 for 0.
        fields_.setItemIndex(valueField,
                             1 - std::clamp(IntegerOr(d.value, value.decodeDefault), 0, 1));
        break;
    case FieldKind::Text:
        fields_.setText(valueField, d.value);
        break;
    case FieldKind::Check:
    case FieldKind::Memo:
    case FieldKind::Grid:
        break;
    }
    return true;
}

bool FormModel::decodeIf(const DecodedLine& d) {
    // A name without an index ("IFA=5") selects nothing rather than filter 4.
    const int slot = d.index >= 0 && CharAt(d.name, 3) == 'A' ? d.index + 5 : d.index;
    if (slot >= 0 && slot <= 4) {
        fields_.setValue(rowField("EDF", slot), IntegerOr(d.value, 0));
    } else if (slot >= 5 && slot <= 9) {
        fields_.setValue(rowField("EDFA", slot - 5), IntegerOr(d.value, 0));
    }
    return true;
}

// IC, IR and IA: the counters of inputs 1..4.
bool FormModel::decodeCounter(const DecodedLine& d) {
    if (d.index >= 1 && d.index <= 4) {
        const std::string prefix = std::string("EDI") + static_cast<char>(d.name[1] + ('a' - 'A'));
        fields_.setValue(rowField(prefix, d.index), IntegerOr(d.value, 0));
    }
    return true;
}

bool FormModel::decodeOa(const DecodedLine& d) {
    const std::string& name = d.name;
    const char input = CharAt(name, 3);
    if (input < '1' || input > '4') {
        return true;
    }
    const int g = IntegerOr(d.value, 0);
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
    return true;
}

bool FormModel::decodeTk(const DecodedLine& d) {
    if (d.index >= 0 && d.index <= 9) {
        fields_.setText(rowField("EDTk", d.index), d.value);
    }
    return true;
}

} // namespace tarvik
