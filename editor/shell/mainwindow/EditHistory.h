#pragma once

#include "base/Signal.h"
#include "editor/form/EditSteps.h"

#include <QObject>
#include <QString>
#include <QTimer>
#include <QUndoStack>
#include <functional>
#include <string_view>

class QAction;

namespace tarvik {

class FormModel;
class LanguageTable;

// Edit > Undo and Redo over the program: every change of the program text (and of the
// device model), whatever made it, becomes one step of a QUndoStack once it has settled,
// that is at the next turn of the event loop, or, while the change is typed into the memo
// or an edit box, when the focus leaves it. A command that changes the program in many
// moves (New, Read SIM) brackets them with Begin and End to make them one step.
//
// The saved program is the stack's clean state: undoing back to it clears Modified, and
// any other step sets it. Open forgets the history; a save keeps it.
class EditHistory : public QObject {
public:
    // applied runs after an undo or redo changed the program (the window's caption and
    // widgets follow).
    EditHistory(QObject& parent, FormModel& form, const LanguageTable& language,
                std::function<void()> applied);
    ~EditHistory() override;

    // The items of the Edit menu, whose texts name the step they take back or bring again.
    void Bind(QAction& undo, QAction& redo);
    // Takes the items' translated captions and starts with no history, the program as it is
    // counting as saved.
    void Start();

    void Undo();
    void Redo();

    // A command's changes, up to End, become one step named name.
    void Begin(std::string_view name);
    void End();
    // The program was opened: no history, the program as it is counts as saved.
    void Clear();
    // The program was saved: this is now the clean state.
    void MarkSaved();

    QUndoStack& stack() { return stack_; }

private:
    class Step;
    void Schedule();
    // Makes the change since the last step a step of its own; unless forced, not while it is
    // still being typed in the field where it began.
    void Settle(bool force);
    void Apply(const ProgramState& state);
    void UpdateItems();

    FormModel& form_;
    const LanguageTable& language_;
    std::function<void()> applied_;
    QUndoStack stack_;
    QTimer settleTimer_;
    QAction* undo_ = nullptr;
    QAction* redo_ = nullptr;
    QString undoCaption_;
    QString redoCaption_;

    ProgramState settled_;
    int editedField_ = -1; // the focused field at the first change after settled_
    bool changing_ = false;
    int commandDepth_ = 0;
    std::string_view commandName_;
    bool applying_ = false;
    Connection textWatch_;
    Connection modelWatch_;
};

} // namespace tarvik
