#include "editor/shell/mainwindow/EditHistory.h"

#include "editor/form/FormModel.h"
#include "editor/shell/widgets/QtText.h"

#include <QAction>
#include <QApplication>
#include <QUndoCommand>
#include <QWidget>

namespace tarvik {

// One step: the program before and after it. Pushing it runs redo(), which finds the program
// already changed.
class EditHistory::Step : public QUndoCommand {
public:
    Step(EditHistory& history, ProgramState before, ProgramState after, std::string_view name)
        : history_(history), before_(std::move(before)), after_(std::move(after)), name_(name) {}

    std::string_view name() const { return name_; }

    void undo() override { history_.Apply(before_); }
    void redo() override {
        if (pushed_) {
            history_.Apply(after_);
        }
        pushed_ = true;
    }

private:
    EditHistory& history_;
    ProgramState before_;
    ProgramState after_;
    std::string_view name_;
    bool pushed_ = false;
};

EditHistory::EditHistory(QObject& parent, FormModel& form, const LanguageTable& language,
                         std::function<void()> applied)
    : QObject(&parent), form_(form), language_(language), applied_(std::move(applied)),
      settled_(CurrentState(form.document())) {
    settleTimer_.setSingleShot(true);
    settleTimer_.setInterval(0);
    connect(&settleTimer_, &QTimer::timeout, this, [this] { Settle(/*force=*/false); });
    textWatch_ = form_.document().program.text().connectChanged([this] { Schedule(); });
    modelWatch_ = form_.connectModelApplied([this] { Schedule(); });
    // Typing settles when the focus leaves the memo or the edit box.
    connect(qApp, &QApplication::focusChanged, this, [this] {
        if (changing_) {
            settleTimer_.start();
        }
    });
    connect(&stack_, &QUndoStack::indexChanged, this, [this] { UpdateItems(); });
}

EditHistory::~EditHistory() {
    // The stack empties itself as it goes, which must not update items or captions that
    // are gone by then.
    disconnect(&stack_, nullptr, this, nullptr);
}

void EditHistory::Bind(QAction& undo, QAction& redo) {
    undo_ = &undo;
    redo_ = &redo;
    connect(undo_, &QAction::triggered, this, [this] { Undo(); });
    connect(redo_, &QAction::triggered, this, [this] { Redo(); });
    UpdateItems();
}

void EditHistory::Start() {
    if (undo_) {
        undoCaption_ = undo_->text();
        redoCaption_ = redo_->text();
    }
    Clear();
}

void EditHistory::Schedule() {
    if (applying_) {
        return;
    }
    if (!changing_) {
        changing_ = true;
        editedField_ = form_.fields().focused();
    }
    // The undo item offers the change at once, even before it becomes a step.
    UpdateItems();
    settleTimer_.start();
}

void EditHistory::Settle(bool force) {
    if (applying_ || commandDepth_ > 0 || !changing_) {
        return;
    }
    // Typing goes on while the focus stays where it began; moving on to the next edit box
    // ends the step.
    if (!force && TypingInProgress(form_) && form_.fields().focused() == editedField_) {
        return;
    }
    settleTimer_.stop();
    changing_ = false;
    ProgramState now = CurrentState(form_.document());
    if (now == settled_) {
        UpdateItems();
        return;
    }
    const std::string_view name =
        commandName_.empty() ? StepName(settled_, now, editedField_) : commandName_;
    ProgramState before = std::exchange(settled_, now);
    stack_.push(new Step(*this, std::move(before), std::move(now), name));
    // A change of the model alone is unsaved too, as the file keeps the model.
    form_.document().modified = !stack_.isClean();
}

void EditHistory::Undo() {
    Settle(/*force=*/true);
    if (!stack_.canUndo()) {
        return;
    }
    stack_.undo();
    form_.document().modified = !stack_.isClean();
    applied_();
}

void EditHistory::Redo() {
    Settle(/*force=*/true);
    if (!stack_.canRedo()) {
        return;
    }
    stack_.redo();
    form_.document().modified = !stack_.isClean();
    applied_();
}

void EditHistory::Begin(std::string_view name) {
    if (commandDepth_ == 0) {
        // A change still being typed is a step of its own, ahead of the command's.
        Settle(/*force=*/true);
        commandName_ = name;
    }
    ++commandDepth_;
}

void EditHistory::End() {
    if (commandDepth_ > 0 && --commandDepth_ == 0) {
        Settle(/*force=*/true);
        commandName_ = {};
    }
}

void EditHistory::Clear() {
    settleTimer_.stop();
    changing_ = false;
    settled_ = CurrentState(form_.document());
    stack_.clear();
    UpdateItems();
}

void EditHistory::MarkSaved() {
    // The file holds the program as it is, typing not yet a step included.
    Settle(/*force=*/true);
    stack_.setClean();
    form_.document().modified = false;
}

void EditHistory::Apply(const ProgramState& state) {
    applying_ = true;
    RestoreState(form_, state);
    settled_ = state;
    changing_ = false;
    applying_ = false;
}

void EditHistory::UpdateItems() {
    if (!undo_) {
        return;
    }
    const auto caption = [this](const QString& item, const QUndoCommand* step) {
        if (item.isEmpty() || !step) {
            return item;
        }
        const std::string_view name = static_cast<const Step*>(step)->name();
        return item + QLatin1Char(' ') + Translated(language_, name);
    };
    const int index = stack_.index();
    const QUndoCommand* undone = index > 0 ? stack_.command(index - 1) : nullptr;
    const QUndoCommand* redone = index < stack_.count() ? stack_.command(index) : nullptr;
    if (!undoCaption_.isEmpty()) {
        if (changing_) {
            // The change in progress, which undo makes a step and takes back first.
            const std::string_view name =
                commandName_.empty()
                    ? StepName(settled_, CurrentState(form_.document()), editedField_)
                    : commandName_;
            undo_->setText(undoCaption_ + QLatin1Char(' ') + Translated(language_, name));
        } else {
            undo_->setText(caption(undoCaption_, undone));
        }
        redo_->setText(caption(redoCaption_, redone));
    }
    undo_->setEnabled(undone != nullptr || changing_);
    redo_->setEnabled(redone != nullptr);
}

} // namespace tarvik
