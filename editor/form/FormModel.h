#pragma once

#include "editor/form/FieldModel.h"
#include "editor/form/StringGrid.h"
#include "program/DocumentFiles.h"
#include "program/LanguageTable.h"
#include "program/ProgramDocument.h"

#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tarvik {

// How the form took a user's edit where it did not take it as given. A window shows the
// result; a front end without one (the command line) tells the user from this.
struct EditChange {
    enum class Kind {
        KeysRefused,  // the field's key filter refused the characters in text
        Cut,          // the text was cut to limit characters
        FirstLine,    // only the first line of the text was kept
        AboveMaximum, // the number text is above limit, the highest the field takes
        BelowMinimum, // the number text is below limit, the lowest the field takes
        NotANumber,   // text is not an integer, so the field reads its error value
        OneKey,       // a flag cell keeps one key, and a letter or blank toggles it
        NotStored,    // a barrier number shorter than limit characters gives no entry
    };
    Kind kind;
    std::string text;
    int limit = 0;
};
using EditChanges = std::vector<EditChange>;

// The logic of the main window without widgets: the form of fields, the barrier grids
// and the device model, kept in step with the program text of a ProgramDocument.
//
// The text is the master copy. DecodeProgram rebuilds the form from it; every field
// change runs the handler the field table names for the field, which writes its entry back
// at once.
class FormModel {
public:
    // Rows of the barrier grid (header included) and of the TR grid.
    static constexpr int kRampRows = 230;
    static constexpr int kRampCols = 5;
    static constexpr int kTrRows = 1001;
    static constexpr int kTrCols = 2;

    // Builds the form on doc and applies the document's model, as the window's creation
    // does: selects it in CBDevice, applies it and decodes the program.
    FormModel(ProgramDocument& doc, const LanguageTable& language);
    FormModel(const FormModel&) = delete;
    FormModel& operator=(const FormModel&) = delete;

    ProgramDocument& document() { return doc_; }
    const ProgramDocument& document() const { return doc_; }
    FieldModel& fields() { return fields_; }
    const FieldModel& fields() const { return fields_; }
    StringGrid& rampGrid() { return ramp_; }
    const StringGrid& rampGrid() const { return ramp_; }
    StringGrid& trGrid() { return tr_; }
    const StringGrid& trGrid() const { return tr_; }
    bool decoding() const { return decoding_; }

    // Index of the named field; the name must be one of FieldTable().
    static int fieldIndex(std::string_view name);

    // ---- Device models ------------------------------------------------------------
    int deviceIndex() const;
    // The menu item Dev1..Dev3 that is checked (0..2), or -1.
    int checkedDeviceMenuItem() const { return checkedMenuItem_; }
    bool barrierTabVisible() const { return barrierTabVisible_; }
    // Applies the model selected in CBDevice to the form and decodes the program.
    void applyDeviceModel();
    // The menu items Dev1..Dev3 (menuItem 0..2); anything else is not a menu item.
    void chooseDeviceMenuItem(int menuItem);
    // Observes each application of a model (menu check marks, page visibility), for a
    // widget binding.
    Connection connectModelApplied(std::function<void()> listener) const {
        return modelApplied_.connect(std::move(listener));
    }

    // ---- Decoding and the program memo -----------------------------------------------
    void decodeProgram();
    // Leaving MemoSim (or a change of MemoNote): decodes typing not yet decoded.
    void leaveProgramMemo();
    // The memo's own modified mark: set by every change of the program text.
    bool memoSimModified() const { return memoMark_; }
    // Steps of the file commands that belong to the form.
    DocumentHooks documentHooks();

    // ---- Change handlers -------------------------------------------------------------
    // Each field names its handler in the field table (FieldDef::onChange); a handler
    // takes the changed field and writes the entry that field owns. One handler serves a
    // family of like fields, told apart by their tag.
    // Telephone page: the numbers (TL, EDTl/CBTl), CLIP numbers (TO, EDTO/CBTO) and
    // security numbers (TK, EDTk).
    void telephoneNumberChanged(int sender);
    void clipNumberChanged(int sender);
    void securityNumberChanged(int sender);
    // SMS page: the texts "#0".."#9" (EDSms0..9) and "$6".."$a" (EDSms_6..a).
    void smsTextChanged(int sender);
    void numberedSmsTextChanged(int sender);
    // Input page, one column each: mode (IP), delay (DL), filters (IF, IFA), counter
    // trigger (IC) and reset (IR), SMS re-send (IA), direct alarm (OA), links (LK).
    void inputModeChanged(int sender);
    void inputDelayChanged(int sender);
    void inputFilterChanged(int sender);
    void inputFilterAChanged(int sender);
    void counterTriggerChanged(int sender);
    void counterResetChanged(int sender);
    void smsResendChanged(int sender);
    void directAlarmChanged(int sender);
    void linkChanged(int sender);
    // Output page: the number of an output (OP, EDOp) and its combo of common values (CBOp).
    void outputNumberChanged(int sender);
    void outputItemChosen(int sender);
    // The fifteen numeric option check boxes (CBRed, CBRfl, ...).
    void optionSwitched(int sender);
    // Hidden telephone number (CBClp, CBClpV) and Contact ID (CBIdcon, CBIdconV).
    void hiddenNumberSwitched(int sender);
    void contactIdSwitched(int sender);
    // CBNet, CBLanet and CBOutpr.
    void textOptionSwitched(int sender);
    // The fifteen numeric option fields (EDRed, EDRfl, ...), found by tag 10..24.
    void optionValueChanged(int sender);
    // EDNet, EDLanet and EDOutpr.
    void textOptionChanged(int sender);
    // The pre-pay card credit fields (EDV1..EDV3).
    void prepayChanged(int sender);
    // CBDevice: applies the chosen model.
    void deviceModelChosen(int /*sender*/) { applyDeviceModel(); }

    // Key filters: the key to pass on, or '\0' when the key is refused. Keys are bytes of
    // the 8-bit text; a refusal may ask for a warning beep. position is where the key goes
    // in the field's text (a telephone number takes "+" only at its start).
    char telephoneKey(char key, std::size_t position);
    char linkKey(char key);
    char numericKey(char key);
    char smsTextKey(char key);

    // ---- Typing, the one path of every front end (widgets, command line, tests) ----------
    // The key filter of the field: each typed key goes through it before it reaches the
    // field's text, at position.
    char filterKey(int field, char key, std::size_t position);
    // The text that typing left in a text or numeric field: cut to the field's maximum
    // length and stored, which runs the field's change handler.
    void commitTypedText(int field, std::string text);
    // The value of a numeric field as a handler reads it: a text that is not an integer
    // reads as ErrValue and asks for a warning beep.
    int readValue(int field);

    // The warning beeps the form asks for; the window turns each into a sound.
    Connection connectBeep(std::function<void()> listener) const {
        return beep_.connect(std::move(listener));
    }

    // ---- Barrier grids ---------------------------------------------------------------
    char rampKey(int col, int row, char key);
    void setRampCellText(int col, int row, std::string value);
    void setTrCellText(int col, int row, std::string value);
    void rebuildBarrierEntries();
    // Whether a barrier row with this number gives an entry.
    static bool storesBarrierNumber(std::string_view number);
    void rebuildTrEntries();
    // Translates the grid headers, as the window's first show does.
    void translateGridHeaders();

    // ---- What a user does ------------------------------------------------------------
    // Moves the keyboard focus (leaving MemoSim runs leaveProgramMemo); -1 for none.
    void focusField(int field);
    // Focuses the field and types text into it in place of its content: each character
    // through KeyPress ("\b" deletes the last one), then commitTypedText. False when the
    // field is read-only or not a text or numeric field. Each user edit below adds to
    // changes, when given, how the form did not take it as given.
    bool userEditText(int field, std::string_view typed, EditChanges* changes = nullptr);
    // The spin button, arrow keys or mouse wheel of a numeric field: adds delta to its
    // value. False when the field is read-only or not numeric.
    bool userStepValue(int field, int delta);
    // Focuses and clicks a check box until it shows checked. False when disabled.
    bool userSetChecked(int field, bool checked);
    // Focuses a combo box and chooses an item. False when disabled or no such item.
    bool userChoose(int field, int item);
    // Types text into a barrier cell (row 1..229, column 0..4); flag columns take the
    // typing key by key through rampKey. False outside the data cells.
    bool userEditRampCell(int row, int col, std::string_view typed, EditChanges* changes = nullptr);
    // Types text into the number cell of TR row 1..1000. False outside the data rows.
    bool userEditTrCell(int row, std::string_view typed, EditChanges* changes = nullptr);
    // A user edit given as one word, the way FieldModel::valueText() shows values: text
    // typed (text and numeric fields), 0 or 1 (check box), an item index (combo box).
    enum class EditResult { Done, NotEditable, BadValue };
    EditResult userSetValue(int field, std::string_view value, EditChanges* changes = nullptr);
    // Typing in MemoSim: replaces the program text; the form follows on leaveProgramMemo.
    void userEditMemoSim(std::string_view text);
    // Typing in MemoNote: replaces the notes, which runs leaveProgramMemo.
    void userEditNotes(std::vector<std::string> notes);

private:
    void onFieldChange(int field);
    void beep() const { beep_.notify(); }
    void setEntry(std::string_view name, std::string_view number);
    int rowField(std::string_view prefix, int row) const;
    // The Tag of the sending field when its handler should act: not while decoding, and
    // only for a Tag in first..last.
    std::optional<int> handlerTag(int sender, int first, int last) const;
    // Adds to changes how a numeric field reads its text, if not as the number typed.
    void noteNumberRead(int field, EditChanges& changes) const;
    void numberedValueChange(int sender, std::string_view keyword, int first, int last, int offset);
    void switchOptionClick(int sender);
    void initGrids();
    // Writes the header texts of both grids, translated or as written.
    void writeGridHeaders(bool translate);
    // One rule of the line decoding: whether it takes the line (false lets later rules
    // try), and what it then sets.
    struct DecodedLine;
    using LineDecoder = bool (FormModel::*)(const DecodedLine&);
    struct LineRule;
    static std::span<const LineRule> lineRules();
    void decodeLine(std::string_view line);
    bool decodeTr(const DecodedLine& d);
    bool decodeRr(const DecodedLine& d);
    bool decodeTl(const DecodedLine& d);
    bool decodeTo(const DecodedLine& d);
    bool decodeSms(const DecodedLine& d);
    bool decodeSms6(const DecodedLine& d);
    bool decodeIp(const DecodedLine& d);
    bool decodeDl(const DecodedLine& d);
    bool decodeOp(const DecodedLine& d);
    bool decodeLk(const DecodedLine& d);
    bool decodeKeyword(const DecodedLine& d);
    bool decodeIf(const DecodedLine& d);
    bool decodeCounter(const DecodedLine& d);
    bool decodeOa(const DecodedLine& d);
    bool decodeTk(const DecodedLine& d);
    void resetForm();
    void applyModelTexts(int idx);

    ProgramDocument& doc_;
    const LanguageTable& language_;
    FieldModel fields_;
    StringGrid ramp_{kRampCols, kRampRows};
    StringGrid tr_{kTrCols, kTrRows};
    bool decoding_ = false;
    int nextRampRow_ = 1; // the barrier row the next RR line fills while decoding
    int checkedMenuItem_ = -1;
    bool barrierTabVisible_ = false;
    Signal<> modelApplied_;
    Signal<> beep_;
    bool memoMark_ = false;
    Connection memoWatch_;
};

} // namespace tarvik
