#pragma once

#include <QObject>
#include <QStringList>
#include <functional>
#include <string_view>

class QComboBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;
class QTableView;
class QWidget;

namespace tarvik {

class FormModel;

// The pages of the main window's form, generated from the field table and bound both ways
// to a FormModel: every control carries its control name as objectName; a user's edit
// reaches the model through its one typing path (KeyPress, commitTypedText, the keyboard
// focus); a change of the model updates the widgets with their signals blocked, so nothing
// echoes back. The Main page holds the SIM program, the notes and the device group with
// the device picture and the buttons ButRead ("Read SIM") and ButWrite ("Write SIM"),
// which the main window connects to its commands.
//
// Names: the pages are "TSMain", "TSOptions", "TSInput", "TSOutput", "TSTelephone", "TSRamp"
// and "TSSms", each in a scroll area named after it ("TSMainScroll"), which is the tab; a group box
// is "GB" and the words of its caption ("GBSIMProgram"); a field's label is "Lab" and the field's
// name ("LabEDTl0"); the device picture is "ImgDevice".
//
// Changes of the program text, the notes and the grids reach the memos and grids at the
// next turn of the event loop (or at once through refresh(), or after a user's edit), so
// that a command that rewrites a thousand lines shows them once.
//
//   FormPages& pages = FormPages::Build(tabs, form, beep);
//   toolBar->addWidget(&pages.CBDevice());
//
// The pages belong to tabs, as its child, and go with it; form must outlive tabs. The
// device selector starts as a child of tabs too, until its place takes it; it must stay
// alive as long as tabs.
class FormPages : public QObject {
public:
    // beep sounds the warning of a refused key or paste.
    static FormPages& Build(QTabWidget& tabs, FormModel& form, std::function<void()> beep);

    // The control named name (a field of the table, a memo, a grid, a group box "GB...",
    // a button), or null.
    virtual QWidget* control(std::string_view name) const = 0;

    // The device model selector of the tool bar, bound like every other field; the main
    // window places it.
    virtual QComboBox& CBDevice() const = 0;
    virtual QPlainTextEdit& MemoSim() const = 0;
    virtual QPlainTextEdit& MemoNote() const = 0;
    virtual QPlainTextEdit& MemoSMS() const = 0;
    virtual QTableView& rampGrid() const = 0;
    virtual QTableView& trGrid() const = 0;
    virtual QPushButton& ButRead() const = 0;
    virtual QPushButton& ButWrite() const = 0;
    // "Send by SMS..." under the remote-programming text of the SMS page.
    virtual QPushButton& ButSendSms() const = 0;
    virtual QLabel& devicePicture() const = 0;

    // Shows every control as the model holds it now (after a file was opened or the
    // model changed outside the bindings).
    virtual void refresh() = 0;

protected:
    explicit FormPages(QObject& parent) : QObject(&parent) {}
};

// The page shown at index of tabs: the form's pages sit in scroll areas, so that a window
// smaller than a page scrolls it instead of squeezing it.
QWidget& PageOf(const QTabWidget& tabs, int index);

// Renders the window that holds tabs once for each visible page, as PNG files in folder
// (created when missing) named prefix, the page's number and its control name
// ("en-1-TSMain.png"); gives the files written. Leaves the page that was current.
QStringList RenderPages(QTabWidget& tabs, const QString& folder, const QString& prefix);

} // namespace tarvik
