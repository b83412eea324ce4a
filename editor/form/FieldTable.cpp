#include "editor/form/FieldTable.h"

#include "editor/form/DeviceModels.h"
#include "editor/form/FormModel.h"

#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

namespace tarvik {
namespace {

// A place in the current group's grid.
struct Cell {
    int row = 0;
    int column = 0;
    int columnSpan = 1;
};

// Builds the table group by group: every field goes into the group opened last.
class TableBuilder {
public:
    std::vector<FieldDef> fields;
    std::vector<GroupDef> groups;

    // Opens a group box on a page; the fields added next belong to it.
    GroupDef& group(std::string caption, Tab tab, int row, int column,
                    Growth growth = Growth::None) {
        GroupDef g;
        g.caption = std::move(caption);
        g.tab = tab;
        g.row = row;
        g.column = column;
        g.growth = growth;
        groups.push_back(std::move(g));
        return groups.back();
    }

    // A field of the current group (of no group on the tool bar, before any group).
    FieldDef& field(std::string name, FieldKind kind, std::string caption, Cell cell, int tag,
                    ChangeHandler onChange) {
        FieldDef f;
        f.name = std::move(name);
        f.kind = kind;
        if (!groups.empty()) {
            f.tab = groups.back().tab;
            f.group = groups.back().caption;
        }
        f.caption = std::move(caption);
        f.row = cell.row;
        f.column = cell.column;
        f.columnSpan = cell.columnSpan;
        f.tag = tag;
        f.onChange = onChange;
        fields.push_back(std::move(f));
        return fields.back();
    }

    FieldDef& numeric(std::string name, std::string caption, Cell cell, int tag,
                      ChangeHandler onChange, int minValue, int maxValue, int errValue) {
        FieldDef& f =
            field(std::move(name), FieldKind::Numeric, std::move(caption), cell, tag, onChange);
        f.keyFilter = KeyFilter::Number;
        f.minValue = minValue;
        f.maxValue = maxValue;
        f.errValue = errValue;
        return f;
    }

    FieldDef& text(std::string name, std::string caption, Cell cell, int tag,
                   ChangeHandler onChange, int maxLength = 0, KeyFilter filter = KeyFilter::None) {
        FieldDef& f =
            field(std::move(name), FieldKind::Text, std::move(caption), cell, tag, onChange);
        f.keyFilter = filter;
        f.maxLength = maxLength;
        return f;
    }

    FieldDef& combo(std::string name, std::string caption, Cell cell, int tag,
                    ChangeHandler onChange, std::vector<std::string> items) {
        FieldDef& f =
            field(std::move(name), FieldKind::Combo, std::move(caption), cell, tag, onChange);
        f.items = std::move(items);
        return f;
    }
};

// Suffix of an index written as one lower-case hexadecimal digit ("a" for 10).
std::string HexSuffix(int i) {
    return std::string(1, "0123456789abcdef"[i]);
}

// ---- Tool bar and "Main" page -----------------------------------------------------------

void AddMain(TableBuilder& t) {
    std::vector<std::string> models;
    for (const DeviceModel& model : DeviceModels()) {
        models.emplace_back(model.name);
    }
    t.combo("CBDevice", "Device", {}, 0, &FormModel::deviceModelChosen, models);

    // The program on the left over the whole height; the device (picture and the card
    // commands, built by the window) and the notes on the right.
    t.group("SIM program", Tab::Main, 0, 0, Growth::Down).rowSpan = 2;
    // Wide enough for the longest entries, a barrier entry with a full international number.
    t.field("MemoSim", FieldKind::Memo, "", {}, 0, nullptr).fixedPitchColumns = 34;
    t.group("Device", Tab::Main, 0, 1, Growth::Right);
    t.group("Notes", Tab::Main, 1, 1, Growth::RightAndDown);
    t.field("MemoNote", FieldKind::Memo, "", {}, 0, nullptr);
}

// ---- "Options" page -----------------------------------------------------------------------

// The option groups fill the page three to a row, in table order.
constexpr int kOptionColumns = 3;

// The entry value an option decodes when it is not a number: the four validity and
// repetition options show 0 (clamped to their minimum), the others -1.
constexpr int kCountDecodeDefault = 0;
constexpr int kSettingDecodeDefault = -1;

class OptionsBuilder {
public:
    explicit OptionsBuilder(TableBuilder& t) : t_(t) {}

    // A check box with the keyword as caption paired with a numeric value field.
    void numeric(const std::string& caption, const std::string& keyword, const std::string& suffix,
                 int tag, int minValue, int maxValue, int errValue, int decodeDefault,
                 const std::string& marker = "") {
        FieldDef& box = this->box(caption, keyword, suffix, &FormModel::optionSwitched, marker);
        box.partner = "ED" + suffix;
        FieldDef& value = t_.numeric(box.partner, "", {0, 1}, tag, &FormModel::optionValueChanged,
                                     minValue, maxValue, errValue);
        value.decodeDefault = decodeDefault;
        pair(value, marker);
    }

    // A check box paired with a text value written as typed.
    void text(const std::string& caption, const std::string& keyword, const std::string& suffix,
              int maxLength, const std::string& marker = "") {
        FieldDef& box = this->box(caption, keyword, suffix, &FormModel::textOptionSwitched, marker);
        box.partner = "ED" + suffix;
        pair(t_.text(box.partner, "", {0, 1}, 0, &FormModel::textOptionChanged, maxLength), marker);
    }

    // A check box paired with a two-item combo whose item 0 writes 1 and item 1 writes 0.
    void onOff(const std::string& caption, const std::string& keyword, const std::string& suffix,
               ChangeHandler onChange, std::vector<std::string> items,
               const std::string& marker = "") {
        FieldDef& box = this->box(caption, keyword, suffix, onChange, marker);
        box.partner = "CB" + suffix + "V";
        FieldDef& value = t_.combo(box.partner, "", {0, 1}, 0, onChange, std::move(items));
        value.decodeDefault = 1; // an entry that is not a number selects item 0
        pair(value, marker);
    }

    // The three pre-pay fields, labelled and side by side.
    void prepay() {
        nextGroup("Pre-pay card credit");
        const char* keywords[] = {"V1", "V2PRE CRE SIN", "V3"};
        for (int i = 0; i < 3; ++i) {
            const std::string label = "V" + std::to_string(i + 1);
            t_.text("ED" + label, label, {0, i}, i, &FormModel::prepayChanged).keyword =
                keywords[i];
        }
    }

private:
    void nextGroup(const std::string& caption) {
        t_.group(caption, Tab::Options, count_ / kOptionColumns, count_ % kOptionColumns);
        ++count_;
    }

    FieldDef& box(const std::string& caption, const std::string& keyword, const std::string& suffix,
                  ChangeHandler onChange, const std::string& marker) {
        nextGroup(caption);
        FieldDef& box = t_.field("CB" + suffix, FieldKind::Check, keyword, {0, 0}, 0, onChange);
        box.keyword = keyword;
        box.marker = marker;
        return box;
    }

    // The value field just added belongs to the check box added before it.
    void pair(FieldDef& value, const std::string& marker) {
        const FieldDef& box = t_.fields[t_.fields.size() - 2];
        value.keyword = box.keyword;
        value.partner = box.name;
        value.marker = marker;
    }

    TableBuilder& t_;
    int count_ = 0;
};

void AddOptions(TableBuilder& t) {
    OptionsBuilder o(t);
    constexpr int count = kCountDecodeDefault;
    constexpr int setting = kSettingDecodeDefault;
    o.numeric("Repetition of calling sequence", "RED", "Red", 10, 1, 99, 3, count);
    o.onOff("Hidden telephone number", "CLP", "Clp", &FormModel::hiddenNumberSwitched,
            {"Visible", "Hidden"});
    o.numeric("SIM card validity", "RFL", "Rfl", 11, 1, 36, 36, count);
    o.numeric("Temporary SIM card validity", "RFT", "Rft", 12, 1, 36, 36, count);
    o.numeric("Periodic test SMS", "PTM", "Ptm", 13, 1, 240, 24, count);
    o.numeric("Microphone gain", "MIC", "Mic", 14, 0, 24, 12, setting);
    o.text("GSM Network", "NET", "Net", 0);
    o.prepay();
    o.numeric("Main power lost", "VMT", "Vmt", 15, 1, 240, 5, setting);
    o.numeric("Low battery", "VBT", "Vbt", 16, 1, 240, 10, setting);
    o.numeric("Module Reset", "MRES", "MRes", 17, 0, 239, 10, setting);
    o.text("Local area prefix", "LANET", "Lanet", 4, "5");
    o.numeric("Line check period", "TLCHK", "Tlchk", 18, 1, 250, 10, setting, "5");
    o.onOff("Contact ID", "IDCON", "Idcon", &FormModel::contactIdSwitched, {"Enabled", "Disabled"},
            "5");
    o.text("PABX exit number", "OUTPR", "Outpr", 1, "5");
    o.numeric("GSM switch delay", "GSMPR", "Gsmpr", 19, 1, 250, 15, setting, "5");
    o.numeric("Message replay time", "MGT", "Mgt", 20, 0, 250, 20, setting);
    o.numeric("Ring time duration", "RGT", "Rgt", 21, 0, 250, 90, setting);
    o.numeric("Seconds per hour", "SPH", "Sph", 22, 0, 9999, 3544, setting);
    o.numeric("Tamper frequency", "TPR", "Tpr", 23, 1, 250, 12, setting);
    o.numeric("Speaker", "SPK", "Spk", 24, 0, 12, 6, setting);
}

// ---- "Input" page -------------------------------------------------------------------------

// Columns of the input group; the filters IF and IFA share one heading.
enum InputColumn { kMode, kDelay, kFilter, kFilterA, kDirect, kTrigger, kReset, kResend };

// A column of numeric fields named prefix + index for the inputs first..last; input i
// sits in row i + rowOffset.
void AddInputColumn(TableBuilder& t, const std::string& prefix, InputColumn column, int first,
                    int last, int rowOffset, ChangeHandler onChange, int maxValue) {
    for (int i = first; i <= last; ++i) {
        t.numeric(prefix + std::to_string(i), "", {i + rowOffset, column}, i, onChange, 0, maxValue,
                  0);
    }
}

void AddInput(TableBuilder& t) {
    t.group("Input (IP)", Tab::Input, 0, 0).columnHeadings = {"Mode",
                                                              "Delay (DL)",
                                                              "Filter (IF, IFA)",
                                                              "",
                                                              "Direct alarm (OA)",
                                                              "Counter trigger (IC)",
                                                              "Counter reset (IR)",
                                                              "Re-send SMS (IA)"};

    std::vector<std::string> modes = {" ", "NO (GND)", "NC", "NO (+12V)", "Disabled"};
    // Items 5..7 are the ones a model change rewrites.
    modes.insert(modes.end(), kResetSmsInputItems.begin(), kResetSmsInputItems.end());
    for (int i = 0; i <= 4; ++i) {
        // The mode column carries the row labels: the reset input, then the alarm inputs.
        const std::string label = i == 0 ? std::string("Reset") : "Alarm " + std::to_string(i);
        t.combo("CBIp" + std::to_string(i), label, {i, kMode}, i, &FormModel::inputModeChanged,
                modes);
    }
    AddInputColumn(t, "EDDl", kDelay, 0, 3, 1, &FormModel::inputDelayChanged, 240);
    AddInputColumn(t, "EDF", kFilter, 0, 4, 0, &FormModel::inputFilterChanged, 240);
    AddInputColumn(t, "EDFA", kFilterA, 0, 4, 0, &FormModel::inputFilterAChanged, 240);

    std::vector<std::string> direct = {"0"};
    for (const char* flags : {"(1-1)", "(0-1)", "(1-0)"}) {
        for (int output = 1; output <= 4; ++output) {
            direct.push_back(std::to_string(output) + "   " + flags);
        }
    }
    for (int i = 1; i <= 4; ++i) {
        t.combo("CBOa" + std::to_string(i), "", {i, kDirect}, i, &FormModel::directAlarmChanged,
                direct);
    }
    AddInputColumn(t, "EDIc", kTrigger, 1, 4, 0, &FormModel::counterTriggerChanged, 240);
    AddInputColumn(t, "EDIr", kReset, 1, 4, 0, &FormModel::counterResetChanged, 250);
    AddInputColumn(t, "EDIa", kResend, 1, 4, 0, &FormModel::smsResendChanged, 250);

    // Two columns of six links.
    t.group("Links (LK)  Input <-> Telephone", Tab::Input, 1, 0);
    const char* links[] = {"SIM refill",   "Alarm 1",       "Alarm 2",         "Alarm 3",
                           "Alarm 4",      "Periodic test", "Power lost",      "Power OK",
                           "Battery lost", "Battery OK",    "Tamper function", "System status"};
    for (int i = 0; i < 12; ++i) {
        t.text("EDLk" + HexSuffix(i), links[i], {i % 6, i / 6}, i, &FormModel::linkChanged, 0,
               KeyFilter::Link)
            .marker = i >= 10 ? "7B" : "";
    }
}

// ---- "Output" page ------------------------------------------------------------------------

void AddOutput(TableBuilder& t) {
    t.group("Output (OP)", Tab::Output, 0, 0);
    std::vector<std::string> items = {"0 - Disabled", "1 - Bi-stable", "2..236 - Mono-stable"};
    // Items 3..6 are the ones a model change rewrites.
    items.insert(items.end(), kPlainOutputItems.begin(), kPlainOutputItems.end());
    for (const char* item :
         {"241 - GSM network failure (H/L)", "242 - GSM network failure (L/H)",
          "243 - Expiring validity of SIM card (H/L)", "244 - Expiring validity of SIM card (L/H)",
          "245 -", "246 -", "247 -", "248 -"}) {
        items.emplace_back(item);
    }
    for (int i = 0; i < 4; ++i) {
        // The combo comes first: choosing an item sets a standard number, which the number
        // field may then refine, so entering a row's fields in table order keeps its value.
        // On the page the number comes first, with the row's label.
        t.combo("CBOp" + std::to_string(i), "", {i, 1}, i + 1, &FormModel::outputItemChosen, items);
        t.numeric("EDOp" + std::to_string(i), std::to_string(i + 1), {i, 0}, i + 1,
                  &FormModel::outputNumberChanged, 0, 248, 0);
    }
}

// ---- "Telephone" page ---------------------------------------------------------------------

void AddTelephone(TableBuilder& t) {
    t.group("Telephone numbers (TL)", Tab::Telephone, 0, 0);
    for (int i = 0; i < 10; ++i) {
        const std::string row = std::to_string(i);
        t.combo("CBTl" + row, row, {i, 0}, i, &FormModel::telephoneNumberChanged,
                {"Call + SMS", "Call", "SMS"});
        t.text("EDTl" + row, "", {i, 1}, i, &FormModel::telephoneNumberChanged, 0,
               KeyFilter::Telephone);
    }
    t.group("CLIP numbers (TO)", Tab::Telephone, 0, 1);
    for (int i = 0; i < 10; ++i) {
        const std::string row = std::to_string(i);
        t.combo("CBTO" + row, row, {i, 0}, i, &FormModel::clipNumberChanged,
                {"System On/Off", "Output 1", "Output 2", "Output 3", "Output 4", "Call back"});
        t.text("EDTO" + row, "", {i, 1}, i, &FormModel::clipNumberChanged, 0, KeyFilter::Telephone);
    }
    t.group("Security numbers (TK)", Tab::Telephone, 0, 2);
    for (int i = 0; i < 10; ++i) {
        const std::string row = std::to_string(i);
        t.text("EDTk" + row, row, {i, 0}, i, &FormModel::securityNumberChanged, 0,
               KeyFilter::Telephone);
    }
}

// ---- "BARRIER Telephone" page -------------------------------------------------------------

void AddBarrier(TableBuilder& t) {
    t.group("BARRIER Telephone numbers", Tab::Barrier, 0, 0, Growth::RightAndDown);
    // The barrier number column is three times as wide as a flag column; the TR number
    // column four times as wide as its label column.
    t.field("SGRamp", FieldKind::Grid, "", {0, 0}, 0, nullptr).columnWeights = {3, 1, 1, 1, 1};
    t.field("SGTR", FieldKind::Grid, "", {0, 1}, 0, nullptr).columnWeights = {1, 4};
}

// ---- "SMS" page ---------------------------------------------------------------------------

void AddSms(TableBuilder& t) {
    t.group("SMS", Tab::Sms, 0, 0, Growth::RightAndDown);
    constexpr int kSmsLength = 14;
    for (int i = 0; i < 10; ++i) {
        std::string label = "#" + std::to_string(i) + " - ";
        label += i == 0   ? "SIM refill"
                 : i <= 4 ? "Alarm input"
                 : i == 5 ? "Periodic test"
                          : "Alarm reset";
        t.text("EDSms" + std::to_string(i), label, {i, 0}, i, &FormModel::smsTextChanged,
               kSmsLength, KeyFilter::SmsText);
    }
    const char* texts[] = {"Power lost", "Power OK", "Battery low", "Battery OK",
                           "Tamper function"};
    for (int i = 6; i <= 10; ++i) {
        const std::string digit = HexSuffix(i);
        t.text("EDSms_" + digit, "$" + digit + " - " + texts[i - 6], {i - 6, 1}, i,
               &FormModel::numberedSmsTextChanged, kSmsLength, KeyFilter::SmsText)
            .marker = i == 10 ? "7B" : "";
    }
    t.field("MemoSMS", FieldKind::Memo, "Remote programming", {10, 0, 2}, 0, nullptr).readOnly =
        true;
}

const TableBuilder& Table() {
    static const TableBuilder table = [] {
        TableBuilder t;
        AddMain(t);
        AddOptions(t);
        AddInput(t);
        AddOutput(t);
        AddTelephone(t);
        AddBarrier(t);
        AddSms(t);
        return t;
    }();
    return table;
}

} // namespace

std::span<const FieldDef> FieldTable() {
    return Table().fields;
}

std::span<const GroupDef> FormGroups() {
    return Table().groups;
}

int FindField(std::string_view name) {
    static const std::unordered_map<std::string_view, int> index = [] {
        std::unordered_map<std::string_view, int> map;
        const auto table = FieldTable();
        for (std::size_t i = 0; i < table.size(); ++i) {
            map.emplace(table[i].name, static_cast<int>(i));
        }
        return map;
    }();
    const auto it = index.find(name);
    return it == index.end() ? -1 : it->second;
}

std::string_view TabCaption(Tab tab) {
    switch (tab) {
    case Tab::None:
        return "";
    case Tab::Main:
        return "Main";
    case Tab::Options:
        return "Options";
    case Tab::Input:
        return "Input";
    case Tab::Output:
        return "Output";
    case Tab::Telephone:
        return "Telephone";
    case Tab::Barrier:
        return "BARRIER Telephone";
    case Tab::Sms:
        return "SMS";
    }
    return "";
}

std::span<const Tab> FormTabs() {
    static constexpr Tab tabs[] = {Tab::Main,      Tab::Options, Tab::Input, Tab::Output,
                                   Tab::Telephone, Tab::Barrier, Tab::Sms};
    return tabs;
}

} // namespace tarvik
