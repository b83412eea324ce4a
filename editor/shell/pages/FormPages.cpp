#include "editor/shell/pages/FormPages.h"

#include "base/TextLines.h"
#include "editor/form/FieldTable.h"
#include "editor/form/FormModel.h"
#include "editor/shell/pages/FieldBinding.h"
#include "editor/shell/pages/FormPageBuilder.h"
#include "editor/shell/pages/MemoLines.h"
#include "editor/shell/pages/StringGridModel.h"
#include "editor/shell/widgets/GridView.h"
#include "editor/shell/widgets/MemoEdit.h"
#include "editor/shell/widgets/QtText.h"

#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QTimer>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace tarvik {
namespace {

// The remote text separates its lines with CR LF; the memo wants one line break.
std::string WithoutCarriageReturns(std::string text) {
    std::erase(text, '\r');
    return text;
}

class FormPagesImpl final : public FormPages {
public:
    FormPagesImpl(QTabWidget& tabs, FormModel& form, std::function<void()> beep);

    QWidget* control(std::string_view name) const override;
    QComboBox& CBDevice() const override { return *cbDevice_; }
    QPlainTextEdit& MemoSim() const override { return *memoSim_; }
    QPlainTextEdit& MemoNote() const override { return *memoNote_; }
    QPlainTextEdit& MemoSMS() const override { return *memoSms_; }
    QTableView& rampGrid() const override { return *sgRamp_; }
    QTableView& trGrid() const override { return *sgTr_; }
    QPushButton& ButRead() const override { return *widgets_.butRead; }
    QPushButton& ButWrite() const override { return *widgets_.butWrite; }
    QPushButton& ButSendSms() const override { return *widgets_.butSendSms; }
    QLabel& devicePicture() const override { return *widgets_.devicePicture; }
    void refresh() override;

private:
    template <typename T>
    T* field(std::string_view name) const {
        return static_cast<T*>(
            widgets_.fields[static_cast<std::size_t>(FormModel::fieldIndex(name))]);
    }
    void bindMemos();
    void programTyped(const std::string& text);
    void notesTyped(const std::string& text);
    void bindGrids();
    bool rampFlagKey(const QModelIndex& cell, QKeyEvent& key);
    void focusChanged(QWidget* now);
    void showBarrierPage();
    // Brings the memos and grids up to date with the model; changes of the program text
    // arrive one line at a time, so they are collected and shown together.
    void schedule();
    void flush();

    QTabWidget& tabs_;
    FormModel& form_;
    FormPageWidgets widgets_;
    std::map<std::string, QWidget*, std::less<>> controls_;
    QComboBox* cbDevice_;
    MemoEdit* memoSim_;
    MemoEdit* memoNote_;
    MemoEdit* memoSms_;
    GridView* sgRamp_;
    GridView* sgTr_;
    // Children of this object, so they go with it.
    FieldBindings* bindings_ = nullptr;
    StringGridModel* rampModel_ = nullptr;
    StringGridModel* trModel_ = nullptr;
    std::vector<std::string> shownProgram_;
    std::vector<std::string> shownNotes_;
    std::optional<std::string> shownRemote_; // nothing when the memo must be rewritten
    bool flushing_ = false;
    QTimer flushTimer_;
    Connection programWatch_;
    Connection modelWatch_;
};

FormPagesImpl::FormPagesImpl(QTabWidget& tabs, FormModel& form, std::function<void()> beep)
    : FormPages(tabs), tabs_(tabs), form_(form), widgets_(BuildFormPageWidgets(tabs)) {
    const auto table = FieldTable();
    for (std::size_t f = 0; f < table.size(); ++f) {
        controls_.emplace(table[f].name, widgets_.fields[f]);
    }
    for (QGroupBox* box : widgets_.groups) {
        controls_.emplace(box->objectName().toStdString(), box);
    }
    for (QWidget* page : widgets_.pages) {
        controls_.emplace(page->objectName().toStdString(), page);
    }
    for (QWidget* widget :
         {static_cast<QWidget*>(widgets_.butRead), static_cast<QWidget*>(widgets_.butWrite),
          static_cast<QWidget*>(widgets_.butSendSms),
          static_cast<QWidget*>(widgets_.devicePicture)}) {
        controls_.emplace(widget->objectName().toStdString(), widget);
    }
    cbDevice_ = field<QComboBox>("CBDevice");
    memoSim_ = field<MemoEdit>("MemoSim");
    memoNote_ = field<MemoEdit>("MemoNote");
    memoSms_ = field<MemoEdit>("MemoSMS");
    sgRamp_ = field<GridView>("SGRamp");
    sgTr_ = field<GridView>("SGTR");

    flushTimer_.setSingleShot(true);
    flushTimer_.setInterval(0);
    connect(&flushTimer_, &QTimer::timeout, this, [this] { flush(); });

    bindings_ = new FieldBindings(
        form_, widgets_.fields, [this] { flush(); }, beep, this);
    for (MemoEdit* memo : {memoSim_, memoNote_}) {
        memo->onRefused = beep;
    }
    bindMemos();
    bindGrids();
    programWatch_ = form_.document().program.text().connectChanged([this] { schedule(); });
    modelWatch_ = form_.connectModelApplied([this] {
        showBarrierPage();
        schedule();
    });
    connect(qApp, &QApplication::focusChanged, this,
            [this](QWidget*, QWidget* now) { focusChanged(now); });
    refresh();
}

QWidget* FormPagesImpl::control(std::string_view name) const {
    const auto it = controls_.find(name);
    return it == controls_.end() ? nullptr : it->second;
}

void FormPagesImpl::bindMemos() {
    const auto watch = [this](QPlainTextEdit* memo, auto typed) {
        connect(memo, &QPlainTextEdit::textChanged, this, [this, memo, typed] {
            // MemoEdit refuses what Windows-1252 cannot hold, so the text always converts.
            if (const std::optional<std::string> text = ToWindows1252(memo->toPlainText())) {
                (this->*typed)(*text);
                flush();
            }
        });
    };
    watch(memoSim_, &FormPagesImpl::programTyped);
    watch(memoNote_, &FormPagesImpl::notesTyped);
}

void FormPagesImpl::programTyped(const std::string& text) {
    form_.userEditMemoSim(text);
    // The memo shows what was typed; the program holds the same lines.
    shownProgram_ = form_.document().program.text().lines();
}

void FormPagesImpl::notesTyped(const std::string& text) {
    shownNotes_ = SplitLines(text);
    form_.userEditNotes(shownNotes_);
}

void FormPagesImpl::bindGrids() {
    rampModel_ = new StringGridModel(
        form_.rampGrid(), 0, {true, false, false, false, false},
        [this](int col, int row, std::string text) {
            form_.userEditRampCell(row, col, text);
            flush();
        },
        this);
    trModel_ = new StringGridModel(
        form_.trGrid(), 1, {false, true},
        [this](int, int row, std::string text) {
            form_.userEditTrCell(row, text);
            flush();
        },
        this);
    rampModel_->onPending = [this] { schedule(); };
    trModel_->onPending = [this] { schedule(); };
    sgRamp_->setModel(rampModel_);
    sgTr_->setModel(trModel_);
    sgRamp_->cellKeyHook = [this](const QModelIndex& cell, QKeyEvent& key) {
        return rampFlagKey(cell, key);
    };
}

// A flag cell takes one key at a time through the barrier grid's key filter, without a
// cell editor: the key toggles the flag or sets the digit typed.
bool FormPagesImpl::rampFlagKey(const QModelIndex& cell, QKeyEvent& key) {
    if (cell.column() == 0) {
        return false;
    }
    std::string typed;
    if (key.key() == Qt::Key_Backspace || key.key() == Qt::Key_Delete) {
        typed = "\b";
    } else {
        const std::optional<std::string> bytes = ToWindows1252(key.text());
        if (!bytes || bytes->size() != 1 || static_cast<unsigned char>((*bytes)[0]) < 32 ||
            (*bytes)[0] == '\x7f') {
            return false; // navigation and control keys move between cells
        }
        typed = *bytes;
    }
    form_.userEditRampCell(StringGridModel::GridRow(cell.row()), cell.column(), typed);
    flush();
    return true;
}

void FormPagesImpl::focusChanged(QWidget* now) {
    if (!now || now->window() != tabs_.window()) {
        return; // another window, or none: the form's own focus stays where it was
    }
    form_.focusField(bindings_->fieldOf(now));
    flush();
}

void FormPagesImpl::showBarrierPage() {
    const auto pages = FormTabs();
    const auto barrier = std::find(pages.begin(), pages.end(), Tab::Barrier) - pages.begin();
    // The page sits in a scroll area, which is the tab.
    int index = -1;
    for (QWidget* up = widgets_.pages[static_cast<std::size_t>(barrier)]; up && index < 0;
         up = up->parentWidget()) {
        index = tabs_.indexOf(up);
    }
    if (index >= 0) {
        tabs_.setTabVisible(index, form_.barrierTabVisible());
    }
}

void FormPagesImpl::schedule() {
    if (!flushing_ && !flushTimer_.isActive()) {
        flushTimer_.start();
    }
}

void FormPagesImpl::flush() {
    flushTimer_.stop();
    flushing_ = true;
    rampModel_->flush();
    trModel_->flush();
    const ProgramDocument& doc = form_.document();
    const std::vector<std::string>& program = doc.program.text().lines();
    if (program != shownProgram_) {
        ShowLines(*memoSim_, shownProgram_, program);
        shownProgram_ = program;
    }
    if (doc.notes != shownNotes_) {
        ShowLines(*memoNote_, shownNotes_, doc.notes);
        shownNotes_ = doc.notes;
    }
    if (doc.program.remoteText() != shownRemote_) {
        shownRemote_ = doc.program.remoteText();
        const QSignalBlocker block(memoSms_);
        // Copied by hand from the screen, an entry is best read on one line.
        memoSms_->ShowBreakingBetweenEntries(
            FromWindows1252(WithoutCarriageReturns(*shownRemote_)));
    }
    flushing_ = false;
}

void FormPagesImpl::refresh() {
    bindings_->refresh();
    rampModel_->refreshAll();
    trModel_->refreshAll();
    const ProgramDocument& doc = form_.document();
    {
        const QSignalBlocker blockSim(memoSim_);
        memoSim_->setPlainText(MemoText(doc.program.text().lines(), 0, doc.program.text().size()));
        const QSignalBlocker blockNote(memoNote_);
        memoNote_->setPlainText(MemoText(doc.notes, 0, doc.notes.size()));
    }
    shownProgram_ = doc.program.text().lines();
    shownNotes_ = doc.notes;
    shownRemote_.reset();
    showBarrierPage();
    flush();
}

} // namespace

FormPages& FormPages::Build(QTabWidget& tabs, FormModel& form, std::function<void()> beep) {
    return *new FormPagesImpl(tabs, form, std::move(beep));
}

} // namespace tarvik
