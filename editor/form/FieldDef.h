#pragma once

#include <string>
#include <vector>

namespace tarvik {

class FormModel;

// What kind of control a field is; decides how its value is held and reset.
enum class FieldKind {
    Numeric, // integer edit with MinValue, MaxValue and ErrValue
    Text,    // one-line edit, optionally with a maximum length
    Check,   // check box
    Combo,   // drop-down list with fixed items
    Memo,    // multi-line text held outside the field model
    Grid,    // string grid held in the form model (SGRamp, SGTR)
};

// True for the kinds whose value the field model holds.
constexpr bool HoldsValue(FieldKind kind) {
    return kind != FieldKind::Memo && kind != FieldKind::Grid;
}

// The pages of the form, in their order on the page control; None is the tool bar.
enum class Tab { None, Main, Options, Input, Output, Telephone, Barrier, Sms };

// Which edges of a group box follow the window when it is resized.
enum class Growth { None, Right, Down, RightAndDown };

// One group box of a page.
struct GroupDef {
    std::string caption; // the key by which fields name their group
    Tab tab = Tab::Main;
    int row = 0; // position on the page's grid
    int column = 0;
    int rowSpan = 1;
    int columnSpan = 1;
    Growth growth = Growth::None;
    // Headings above the field columns, by column; an empty heading lets the one before it
    // stretch over that column too.
    std::vector<std::string> columnHeadings;
};

// The change handler a field fires: a member of the form that takes the sending field's
// index. One handler serves a family of like fields, which it tells apart by their tag; a
// field without one (a memo, a grid) fires nothing.
using ChangeHandler = void (FormModel::*)(int sender);

// Which key filter a field's typing goes through.
enum class KeyFilter {
    None,
    Number,    // numeric fields: digits, "-" and control keys other than Enter
    Telephone, // telephoneKey: no blanks
    Link,      // linkKey: digits, "-" and control keys
    SmsText,   // SMS texts: no "=", which would end the entry name that carries the text
};

// One field of the form.
//
// Where it sits: each group box lays its fields out on a grid of rows and columns. A field
// in column c has its label (if any) just left of it, so labels line up in their own
// column; a check box carries its caption itself, and a memo or grid shows its label
// above it.
struct FieldDef {
    std::string name; // control name, e.g. "EDTl0"
    FieldKind kind = FieldKind::Text;
    Tab tab = Tab::None;
    std::string group;   // caption of the group box holding the field
    std::string caption; // check-box caption or label of the field; empty for none
    int row = 0;         // position in the group's grid
    int column = 0;
    int columnSpan = 1;
    int tag = 0;
    ChangeHandler onChange = nullptr;
    KeyFilter keyFilter = KeyFilter::None;
    int minValue = 0; // numeric fields
    int maxValue = 0;
    int errValue = 0;
    int maxLength = 0;              // text fields; 0 = unlimited
    std::vector<std::string> items; // combo boxes
    std::string marker;             // model codes allowing the field; empty = every model
    std::string keyword;            // options and pre-pay fields: the entry name they own
    std::string partner;            // option check box <-> its value field
    int decodeDefault = 0;          // option value fields: what an entry that is not a
                                    // number decodes to
    // How a window shows memos and grids:
    bool readOnly = false;          // a memo that only the program writes
    int fixedPitchColumns = 0;      // a memo in a fixed-pitch font without word wrap, at least
                                    // this many characters wide; 0: proportional and wrapped
    std::vector<int> columnWeights; // a grid: the widths of its columns relative to each other
};

} // namespace tarvik
