#pragma once

#include "base/Signal.h"
#include "editor/form/FieldDef.h"

#include <functional>
#include <string>
#include <vector>

namespace tarvik {

// The state of one field as a widget would show it.
struct FieldState {
    std::string text;               // text and numeric fields (a numeric field holds its text)
    bool checked = false;           // check boxes
    int itemIndex = 0;              // combo boxes
    std::vector<std::string> items; // combo boxes: the current item texts
    bool readOnly = false;          // text and numeric fields
    bool enabled = true;            // check boxes and combo boxes
    bool grey = false;              // grey text on the button-face colour
};

// The values and states of every field of FieldTable(), with the event rules of the
// form's controls: a text field, a numeric field or a check box fires its change
// handler whenever its value changes, by the user or by code; a combo box fires it
// only when the user chooses an item.
class FieldModel {
public:
    using Callback = std::function<void(int field)>;

    FieldModel();

    int size() const { return static_cast<int>(states_.size()); }
    // The field's description; throws std::out_of_range for an index outside the table.
    static const FieldDef& definition(int field);
    const FieldState& state(int field) const { return states_.at(field); }

    // Text and numeric fields.
    const std::string& text(int field) const { return states_.at(field).text; }
    void setText(int field, std::string text);

    // Numeric fields: reads the text as an integer; text that is not an integer reads
    // as ErrValue; the result is clamped. Reading changes nothing: the warning beep for a
    // bad number belongs to whoever acts on the value (see badNumber()).
    int value(int field) const;
    // True when the text is not empty and not an integer, so value() gives ErrValue.
    bool badNumber(int field) const;
    // Stores the value clamped to MinValue..MaxValue (no clamping when they are equal).
    void setValue(int field, int value);

    // Check boxes.
    bool checked(int field) const { return states_.at(field).checked; }
    void setChecked(int field, bool checked);

    // Combo boxes: selecting from code fires nothing; choose() is the user's choice.
    int itemIndex(int field) const { return states_.at(field).itemIndex; }
    void setItemIndex(int field, int index);
    void choose(int field, int index);
    void setItemText(int field, int item, std::string text);

    // The value as one word: text fields their text, numeric fields the integer they
    // read, check boxes 0 or 1, combo boxes the item index; memos nothing.
    std::string valueText(int field) const;

    // Puts the field back to its reset value (empty, ErrValue, unchecked or item 0).
    void reset(int field);

    // Keyboard focus; -1 when no field has it.
    int focused() const { return focused_; }
    void setFocus(int field) { focused_ = field; }

    // Applies a device model's verdict: editable fields are black, others grey and
    // read-only (text, numeric) or disabled (check box, combo).
    void setAllowed(int field, bool allowed);
    // True when the user can change the field.
    bool editable(int field) const;

    // The form's change handler: the dispatch to the handler the field table names.
    void setChangeHandler(Callback handler) { changeHandler_ = std::move(handler); }
    // Observes any change of a field's value, items or state (a widget binding).
    Connection connectChanged(Callback listener) const {
        return changed_.connect(std::move(listener));
    }

private:
    void fireChange(int field);
    void notify(int field);

    std::vector<FieldState> states_;
    int focused_ = -1;
    Callback changeHandler_;
    Signal<int> changed_;
};

// The value clamped to the field's MinValue..MaxValue, as a numeric field stores it; equal
// bounds mean the field has no range and the value stays as it is.
int ClampToRange(const FieldDef& def, int value);

} // namespace tarvik
