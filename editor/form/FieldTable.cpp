#include "editor/form/FieldTable.h"

#include "editor/form/DeviceModels.h"

#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

namespace tarvik {
namespace {

using Fields = std::vector<FieldDef>;

// The members every kind of field has.
FieldDef BaseField(std::string name, FieldKind kind, Tab tab, std::string group,
                   std::string caption, int tag, Handler handler) {
    FieldDef f;
    f.name = std::move(name);
    f.kind = kind;
    f.tab = tab;
    f.group = std::move(group);
    f.caption = std::move(caption);
    f.tag = tag;
    f.handler = handler;
    return f;
}

FieldDef Numeric(std::string name, Tab tab, std::string group, std::string caption, int tag,
                 Handler handler, int minValue, int maxValue, int errValue) {
    FieldDef f = BaseField(std::move(name), FieldKind::Numeric, tab, std::move(group),
                           std::move(caption), tag, handler);
    f.keyFilter = KeyFilter::Number;
    f.minValue = minValue;
    f.maxValue = maxValue;
    f.errValue = errValue;
    return f;
}

FieldDef Text(std::string name, Tab tab, std::string group, std::string caption, int tag,
              Handler handler, int maxLength = 0, KeyFilter filter = KeyFilter::None) {
    FieldDef f = BaseField(std::move(name), FieldKind::Text, tab, std::move(group),
                           std::move(caption), tag, handler);
    f.keyFilter = filter;
    f.maxLength = maxLength;
    return f;
}

FieldDef Combo(std::string name, Tab tab, std::string group, std::string caption, int tag,
               Handler handler, std::vector<std::string> items) {
    FieldDef f = BaseField(std::move(name), FieldKind::Combo, tab, std::move(group),
                           std::move(caption), tag, handler);
    f.items = std::move(items);
    return f;
}

FieldDef Check(std::string name, Tab tab, std::string group, std::string caption, Handler handler) {
    return BaseField(std::move(name), FieldKind::Check, tab, std::move(group), std::move(caption),
                     0, handler);
}

FieldDef Memo(std::string name, Tab tab, std::string group) {
    return BaseField(std::move(name), FieldKind::Memo, tab, std::move(group), "", 0, Handler::None);
}

FieldDef WithMarker(FieldDef f, std::string marker) {
    f.marker = std::move(marker);
    return f;
}

// Suffix of an index written as one lower-case hexadecimal digit ("a" for 10).
std::string HexSuffix(int i) {
    return std::string(1, "0123456789abcdef"[i]);
}

// ---- Main page and tool bar ---------------------------------------------------------

void AddMain(Fields& t) {
    std::vector<std::string> models;
    for (const DeviceModel& model : DeviceModels()) {
        models.emplace_back(model.name);
    }
    t.push_back(Combo("CBDevice", Tab::None, "", "Device", 0, Handler::DeviceChange, models));
    t.push_back(Memo("MemoSim", Tab::Main, "SIM program"));
    t.push_back(Memo("MemoNote", Tab::Main, "Notes"));
}

// ---- Options page -------------------------------------------------------------------

// The entry value an option decodes when it is not a number: the four validity and
// repetition options show 0 (clamped to their minimum), the others -1.
constexpr int kCountDecodeDefault = 0;
constexpr int kSettingDecodeDefault = -1;

// A check box with the keyword as caption paired with a numeric value field.
void AddNumericOption(Fields& t, const std::string& group, const std::string& keyword,
                      const std::string& suffix, int tag, int minValue, int maxValue, int errValue,
                      int decodeDefault, const std::string& marker = "") {
    FieldDef box = Check("CB" + suffix, Tab::Options, group, keyword, Handler::OptionClick);
    box.keyword = keyword;
    box.partner = "ED" + suffix;
    FieldDef value = Numeric("ED" + suffix, Tab::Options, group, "", tag,
                             Handler::OptionValueChange, minValue, maxValue, errValue);
    value.keyword = keyword;
    value.partner = box.name;
    value.decodeDefault = decodeDefault;
    t.push_back(WithMarker(std::move(box), marker));
    t.push_back(WithMarker(std::move(value), marker));
}

// A check box paired with a text value written as typed.
void AddTextOption(Fields& t, const std::string& group, const std::string& keyword,
                   const std::string& suffix, int maxLength, const std::string& marker = "") {
    FieldDef box = Check("CB" + suffix, Tab::Options, group, keyword, Handler::TextOptionClick);
    box.keyword = keyword;
    box.partner = "ED" + suffix;
    FieldDef value =
        Text("ED" + suffix, Tab::Options, group, "", 0, Handler::TextOptionChange, maxLength);
    value.keyword = keyword;
    value.partner = box.name;
    t.push_back(WithMarker(std::move(box), marker));
    t.push_back(WithMarker(std::move(value), marker));
}

// A check box paired with a two-item combo whose item 0 writes 1 and item 1 writes 0.
void AddSwitchOption(Fields& t, const std::string& group, const std::string& keyword,
                     const std::string& suffix, Handler handler, std::vector<std::string> items,
                     const std::string& marker = "") {
    FieldDef box = Check("CB" + suffix, Tab::Options, group, keyword, handler);
    box.keyword = keyword;
    box.partner = "CB" + suffix + "V";
    FieldDef value = Combo(box.partner, Tab::Options, group, "", 0, handler, std::move(items));
    value.keyword = keyword;
    value.partner = box.name;
    value.decodeDefault = 1; // an entry that is not a number selects item 0
    t.push_back(WithMarker(std::move(box), marker));
    t.push_back(WithMarker(std::move(value), marker));
}

void AddOptions(Fields& t) {
    constexpr int count = kCountDecodeDefault;
    constexpr int setting = kSettingDecodeDefault;
    AddNumericOption(t, "Repetition of calling sequence", "RED", "Red", 10, 1, 99, 3, count);
    AddSwitchOption(t, "Hidden telephone number", "CLP", "Clp", Handler::ClpClick,
                    {"Visible", "Hidden"});
    AddNumericOption(t, "SIM card validity", "RFL", "Rfl", 11, 1, 36, 36, count);
    AddNumericOption(t, "Temporary SIM card validity", "RFT", "Rft", 12, 1, 36, 36, count);
    AddNumericOption(t, "Periodic test SMS", "PTM", "Ptm", 13, 1, 240, 24, count);
    AddNumericOption(t, "Microphone gain", "MIC", "Mic", 14, 0, 24, 12, setting);
    AddTextOption(t, "GSM Network", "NET", "Net", 0);
    const char* prepay[] = {"V1", "V2PRE CRE SIN", "V3"};
    for (int i = 0; i < 3; ++i) {
        const std::string label = "V" + std::to_string(i + 1);
        FieldDef f =
            Text("ED" + label, Tab::Options, "Pre-pay card credit", label, i, Handler::VChange);
        f.keyword = prepay[i];
        t.push_back(std::move(f));
    }
    AddNumericOption(t, "Main power lost", "VMT", "Vmt", 15, 1, 240, 5, setting);
    AddNumericOption(t, "Low battery", "VBT", "Vbt", 16, 1, 240, 10, setting);
    AddNumericOption(t, "Module Reset", "MRES", "MRes", 17, 0, 239, 10, setting);
    AddTextOption(t, "Local area prefix", "LANET", "Lanet", 4, "5");
    AddNumericOption(t, "Line check period", "TLCHK", "Tlchk", 18, 1, 250, 10, setting, "5");
    AddSwitchOption(t, "Contact ID", "IDCON", "Idcon", Handler::IdconClick, {"Enabled", "Disabled"},
                    "5");
    AddTextOption(t, "PABX exit number", "OUTPR", "Outpr", 1, "5");
    AddNumericOption(t, "GSM switch delay", "GSMPR", "Gsmpr", 19, 1, 250, 15, setting, "5");
    AddNumericOption(t, "Message replay time", "MGT", "Mgt", 20, 0, 250, 20, setting);
    AddNumericOption(t, "Ring time duration", "RGT", "Rgt", 21, 0, 250, 90, setting);
    AddNumericOption(t, "Seconds per hour", "SPH", "Sph", 22, 0, 9999, 3544, setting);
    AddNumericOption(t, "Tamper frequency", "TPR", "Tpr", 23, 1, 250, 12, setting);
    AddNumericOption(t, "Speaker", "SPK", "Spk", 24, 0, 12, 6, setting);
}

// ---- Input page ---------------------------------------------------------------------

std::string InputRowLabel(int row) {
    return row == 0 ? std::string("Reset") : "Alarm " + std::to_string(row);
}

// A column of numeric fields named prefix + index for the input rows first..last.
void AddInputColumn(Fields& t, const std::string& prefix, const std::string& group, int first,
                    int last, int rowOffset, Handler handler, int maxValue) {
    for (int i = first; i <= last; ++i) {
        t.push_back(Numeric(prefix + std::to_string(i), Tab::Input, group,
                            InputRowLabel(i + rowOffset), i, handler, 0, maxValue, 0));
    }
}

void AddInput(Fields& t) {
    std::vector<std::string> modes = {" ", "NO (GND)", "NC", "NO (+12V)", "Disabled"};
    // Items 5..7 are the ones a model change rewrites.
    modes.insert(modes.end(), kResetSmsInputItems.begin(), kResetSmsInputItems.end());
    for (int i = 0; i <= 4; ++i) {
        t.push_back(Combo("CBIp" + std::to_string(i), Tab::Input, "Input (IP)", InputRowLabel(i), i,
                          Handler::IpChange, modes));
    }
    AddInputColumn(t, "EDDl", "Delay (DL)", 0, 3, 1, Handler::DlChange, 240);
    AddInputColumn(t, "EDF", "Filter (IF, IFA)", 0, 4, 0, Handler::FChange, 240);
    AddInputColumn(t, "EDFA", "Filter (IF, IFA)", 0, 4, 0, Handler::FaChange, 240);

    std::vector<std::string> direct = {"0"};
    for (const char* flags : {"(1-1)", "(0-1)", "(1-0)"}) {
        for (int output = 1; output <= 4; ++output) {
            direct.push_back(std::to_string(output) + "   " + flags);
        }
    }
    for (int i = 1; i <= 4; ++i) {
        t.push_back(Combo("CBOa" + std::to_string(i), Tab::Input, "Direct alarm (OA)",
                          InputRowLabel(i), i, Handler::OaChange, direct));
    }
    AddInputColumn(t, "EDIc", "Counter trigger (IC)", 1, 4, 0, Handler::IcChange, 240);
    AddInputColumn(t, "EDIr", "Counter reset (IR)", 1, 4, 0, Handler::IrChange, 250);
    AddInputColumn(t, "EDIa", "Re-send SMS (IA)", 1, 4, 0, Handler::IaChange, 250);

    const char* links[] = {"SIM refill",   "Alarm 1",       "Alarm 2",         "Alarm 3",
                           "Alarm 4",      "Periodic test", "Power lost",      "Power OK",
                           "Battery lost", "Battery OK",    "Tamper function", "System status"};
    for (int i = 0; i < 12; ++i) {
        FieldDef f = Text("EDLk" + HexSuffix(i), Tab::Input, "Links (LK)  Input <-> Telephone",
                          links[i], i, Handler::LkChange, 0, KeyFilter::Link);
        t.push_back(WithMarker(std::move(f), i >= 10 ? "7B" : ""));
    }
}

// ---- Output page --------------------------------------------------------------------

void AddOutput(Fields& t) {
    // Items 3..6 are the ones a model change rewrites.
    std::vector<std::string> items = {"0 - Disabled", "1 - Bi-stable", "2..236 - Mono-stable"};
    items.insert(items.end(), kPlainOutputItems.begin(), kPlainOutputItems.end());
    const char* fixedFunctions[] = {"241 - GSM network failure (H/L)",
                                    "242 - GSM network failure (L/H)",
                                    "243 - Expiring validity of SIM card (H/L)",
                                    "244 - Expiring validity of SIM card (L/H)",
                                    "245 -",
                                    "246 -",
                                    "247 -",
                                    "248 -"};
    items.insert(items.end(), std::begin(fixedFunctions), std::end(fixedFunctions));
    for (int i = 0; i < 4; ++i) {
        const std::string row = std::to_string(i + 1);
        // The combo comes first: choosing an item sets a standard number, which the number
        // field may then refine, so entering a row's fields in table order keeps its value.
        t.push_back(Combo("CBOp" + std::to_string(i), Tab::Output, "Output (OP)", row, i + 1,
                          Handler::OpComboChange, items));
        t.push_back(Numeric("EDOp" + std::to_string(i), Tab::Output, "Output (OP)", row, i + 1,
                            Handler::OpChange, 0, 248, 0));
    }
}

// ---- Telephone page -----------------------------------------------------------------

void AddTelephone(Fields& t) {
    for (int i = 0; i < 10; ++i) {
        const std::string row = std::to_string(i);
        t.push_back(Combo("CBTl" + row, Tab::Telephone, "Telephone numbers (TL)", row, i,
                          Handler::TlChange, {"Call + SMS", "Call", "SMS"}));
        t.push_back(Text("EDTl" + row, Tab::Telephone, "Telephone numbers (TL)", row, i,
                         Handler::TlChange, 0, KeyFilter::Telephone));
    }
    for (int i = 0; i < 10; ++i) {
        const std::string row = std::to_string(i);
        t.push_back(
            Combo("CBTO" + row, Tab::Telephone, "CLIP numbers (TO)", row, i, Handler::ToChange,
                  {"System On/Off", "Output 1", "Output 2", "Output 3", "Output 4", "Call back"}));
        t.push_back(Text("EDTO" + row, Tab::Telephone, "CLIP numbers (TO)", row, i,
                         Handler::ToChange, 0, KeyFilter::Telephone));
    }
    for (int i = 0; i < 10; ++i) {
        const std::string row = std::to_string(i);
        t.push_back(Text("EDTk" + row, Tab::Telephone, "Security numbers (TK)", row, i,
                         Handler::TkChange, 0, KeyFilter::Telephone));
    }
}

// ---- SMS page -----------------------------------------------------------------------

void AddSms(Fields& t) {
    constexpr int kSmsLength = 14;
    for (int i = 0; i < 10; ++i) {
        std::string label = "#" + std::to_string(i) + " - ";
        label += i == 0   ? "SIM refill"
                 : i <= 4 ? "Alarm input"
                 : i == 5 ? "Periodic test"
                          : "Alarm reset";
        t.push_back(Text("EDSms" + std::to_string(i), Tab::Sms, "SMS", label, i, Handler::SmsChange,
                         kSmsLength, KeyFilter::SmsText));
    }
    const char* texts[] = {"Power lost", "Power OK", "Battery low", "Battery OK",
                           "Tamper function"};
    for (int i = 6; i <= 10; ++i) {
        const std::string digit = HexSuffix(i);
        FieldDef f = Text("EDSms_" + digit, Tab::Sms, "SMS", "$" + digit + " - " + texts[i - 6], i,
                          Handler::Sms6Change, kSmsLength, KeyFilter::SmsText);
        t.push_back(WithMarker(std::move(f), i == 10 ? "7B" : ""));
    }
    t.push_back(Memo("MemoSMS", Tab::Sms, "Remote programming"));
}

Fields BuildTable() {
    Fields t;
    AddMain(t);
    AddOptions(t);
    AddInput(t);
    AddOutput(t);
    AddTelephone(t);
    AddSms(t);
    return t;
}

} // namespace

std::span<const FieldDef> FieldTable() {
    static const Fields table = BuildTable();
    return table;
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
