// The form's pages driven as a user drives them: real widgets found by their control
// names, keys typed into them, the program text and the other views checked.

#include "editor/form/FieldTable.h"
#include "editor/shell/pages/tests/FormPagesFixture.h"
#include "editor/shell/testing/GuiTestSupport.h"
#include "editor/shell/widgets/InumEdit.h"
#include "editor/shell/widgets/MemoEdit.h"

#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTextBlock>
#include <QTextLayout>
#include <QWheelEvent>
#include <gtest/gtest.h>

namespace tarvik {
namespace {

using testing::FormPagesWindow;
using testing::TypeText;

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

bool IsOfKind(QWidget& widget, FieldKind kind) {
    switch (kind) {
    case FieldKind::Numeric:
        return dynamic_cast<TInumEdit*>(&widget) != nullptr;
    case FieldKind::Text:
        return qobject_cast<QLineEdit*>(&widget) != nullptr;
    case FieldKind::Check:
        return qobject_cast<QCheckBox*>(&widget) != nullptr;
    case FieldKind::Combo:
        return qobject_cast<QComboBox*>(&widget) != nullptr;
    case FieldKind::Memo:
        return qobject_cast<QPlainTextEdit*>(&widget) != nullptr;
    case FieldKind::Grid:
        return qobject_cast<QTableView*>(&widget) != nullptr;
    }
    return false;
}

// The page (tab index) that holds widget, or -1.
int PageOf(FormPagesWindow& pages, QWidget& widget) {
    for (QWidget* up = &widget; up; up = up->parentWidget()) {
        if (const int index = pages.tabs->indexOf(up); index >= 0) {
            return index;
        }
    }
    return -1;
}

TEST(FormPagesBuild, EveryFieldOfTheTableHasAWidgetOfItsKindOnItsPage) {
    FormPagesWindow pages;
    const auto tabs = FormTabs();
    ASSERT_EQ(pages.tabs->count(), static_cast<int>(tabs.size()));
    for (std::size_t i = 0; i < tabs.size(); ++i) {
        EXPECT_EQ(pages.tabs->tabText(static_cast<int>(i)).toStdString(), TabCaption(tabs[i]));
    }
    for (const FieldDef& def : FieldTable()) {
        SCOPED_TRACE(def.name);
        QWidget& widget = pages.get(def.name.c_str());
        EXPECT_TRUE(IsOfKind(widget, def.kind));
        EXPECT_EQ(pages.pages->control(def.name), &widget);
        const auto tab = std::find(tabs.begin(), tabs.end(), def.tab);
        EXPECT_EQ(PageOf(pages, widget), tab == tabs.end() ? -1 : tab - tabs.begin());
        if (def.tab != Tab::None && !def.group.empty()) {
            auto* group = qobject_cast<QGroupBox*>(widget.parentWidget());
            if (!group) { // a memo or grid with its label above it
                group = qobject_cast<QGroupBox*>(widget.parentWidget()->parentWidget());
            }
            ASSERT_NE(group, nullptr);
            EXPECT_EQ(group->title().toStdString(), def.group);
        }
        if (!def.caption.empty() && def.kind != FieldKind::Check && def.tab != Tab::None) {
            auto& label = pages.get<QLabel>(("Lab" + def.name).c_str());
            EXPECT_EQ(label.text().toStdString(), def.caption);
            EXPECT_EQ(label.buddy(), &widget);
        }
        if (def.kind == FieldKind::Check) {
            EXPECT_EQ(static_cast<QCheckBox&>(widget).text().toStdString(), def.caption);
        }
    }
    for (const char* name : {"ButRead", "ButWrite"}) {
        EXPECT_EQ(PageOf(pages, pages.get(name)), 0) << name;
    }
    EXPECT_EQ(pages.get<QPushButton>("ButRead").text(), "Read SIM");
    EXPECT_EQ(pages.get<QPushButton>("ButWrite").text(), "Write SIM");
    EXPECT_FALSE(pages.pages->devicePicture().pixmap().isNull());
    EXPECT_EQ(pages.get<QGroupBox>("GBSIMProgram").title(), "SIM program");
    EXPECT_EQ(pages.get<QGroupBox>("GBInputIP").findChildren<QLabel*>().size(), 5 + 7);
    EXPECT_TRUE(pages.pages->MemoSMS().isReadOnly());
    EXPECT_EQ(pages.pages->MemoSim().lineWrapMode(), QPlainTextEdit::NoWrap);
    EXPECT_TRUE(testing::AdvancesEvenly(pages.pages->MemoSim().font()));
}

TEST(FormPagesBuild, GridsShowTheirHeadersLabelsAndColumnRatios) {
    FormPagesWindow pages;
    pages.tabs->setCurrentWidget(&pages.get("TSRampScroll"));
    QApplication::processEvents();
    auto& ramp = pages.get<QTableView>("SGRamp");
    auto& tr = pages.get<QTableView>("SGTR");
    ASSERT_EQ(ramp.model()->rowCount(), 229);
    ASSERT_EQ(ramp.model()->columnCount(), 5);
    ASSERT_EQ(tr.model()->rowCount(), 1000);
    ASSERT_EQ(tr.model()->columnCount(), 2);
    EXPECT_EQ(ramp.model()->headerData(0, Qt::Horizontal).toString(), "RR Telephone number");
    EXPECT_EQ(ramp.model()->headerData(4, Qt::Horizontal).toString(), "Output 4");
    EXPECT_EQ(tr.model()->headerData(0, Qt::Horizontal).toString(), "TR");
    EXPECT_EQ(tr.model()->headerData(1, Qt::Horizontal).toString(), "TR Telephone number");
    EXPECT_EQ(tr.model()->index(0, 0).data().toString(), "000");
    EXPECT_EQ(tr.model()->index(999, 0).data().toString(), "999");
    EXPECT_FALSE(tr.model()->flags(tr.model()->index(5, 0)) & Qt::ItemIsEditable);
    EXPECT_NEAR(ramp.columnWidth(0), 3 * ramp.columnWidth(1), 3);
    EXPECT_NEAR(tr.columnWidth(1), 4 * tr.columnWidth(0), 4);
}

TEST(FormPagesBuild, RemoteTextWrapsBetweenEntriesAndCopiesAsItIs) {
    FormPagesWindow pages;
    pages.doc.program.text().assign({"#5TEST-OK=5", "TL1=0039123", "#1A-B-C=1", "RED=3"});
    pages.form.decodeProgram();
    pages.pages->refresh();
    auto& memo = pages.get<QPlainTextEdit>("MemoSMS");
    const QString remote = WithoutBreakMarks(memo.toPlainText());
    EXPECT_TRUE(remote.contains(";#5TEST-OK=5;")) << remote.toStdString();
    // However narrow, every shown line ends with a whole entry.
    pages.tabs->setCurrentWidget(&pages.get("TSSmsScroll"));
    memo.setFixedWidth(memo.fontMetrics().horizontalAdvance(QStringLiteral("#5TEST-OK=5;WW")));
    QApplication::processEvents();
    const QTextBlock block = memo.document()->firstBlock();
    ASSERT_NE(block.layout(), nullptr);
    ASSERT_GT(block.layout()->lineCount(), 1);
    for (int i = 0; i + 1 < block.layout()->lineCount(); ++i) {
        const QTextLine line = block.layout()->lineAt(i);
        const QString shown =
            WithoutBreakMarks(block.text().mid(line.textStart(), line.textLength()));
        EXPECT_TRUE(shown.endsWith(';')) << shown.toStdString();
    }
    // A copy gives the text without the marks that steer the wrapping.
    memo.selectAll();
    memo.copy();
    EXPECT_EQ(QApplication::clipboard()->text(), remote);
}

// ---- Typing into the fields ---------------------------------------------------------------

TEST(FormPagesTyping, AFieldEditReachesTheProgramMemoAndTheRemoteText) {
    FormPagesWindow pages;
    auto& edit = pages.get<QLineEdit>("EDTl3");
    pages.focus(edit);
    QTest::keyClicks(&edit, "0039333");
    EXPECT_EQ(edit.text(), "0039333");
    EXPECT_TRUE(pages.get<QPlainTextEdit>("MemoSim").toPlainText().contains("TL3=0039333"));
    EXPECT_TRUE(WithoutBreakMarks(pages.get<QPlainTextEdit>("MemoSMS").toPlainText())
                    .contains(";TL3=0039333;"));

    QTest::keyClick(&edit, Qt::Key_Backspace);
    EXPECT_TRUE(pages.get<QPlainTextEdit>("MemoSim").toPlainText().contains("TL3=003933"));
}

TEST(FormPagesTyping, KeysTheFieldsFilterRefuseNeverAppear) {
    struct Case {
        const char* field;
        const char* typed;
        const char* shown;
        const char* entry; // a line of the program afterwards
    };
    const Case cases[] = {
        {"EDTl3", "12 34", "1234", "TL3=1234"},         // no blanks in a telephone number
        {"EDTk0", " 5 ", "5", "TK0=5"},                 //
        {"EDTl3", "+3a9*#+1", "+39*#1", "TL3=0039*#1"}, // what a card's number holds
        {"EDSms0", "a=b", "ab", "#0ab=0"},              // "=" would end the entry's name
        {"EDLk1", "1x2-3", "12-3", "LK1.12-3=0"},       // digits and ranges only
        {"EDDl0", "1a2", "012", "DL1=12"},              // numeric: digits and "-" after the 0
        {"EDLanet", "12345", "", ""},                   // not allowed for this model
        {"EDSms_6", "abcdefghijklmnopq", "abcdefghijklmn", "$6abcdefghijklmn=6"}, // 14 at most
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.field);
        FormPagesWindow pages;
        QWidget& widget = pages.get(c.field);
        pages.focus(widget);
        QTest::keyClicks(&widget, c.typed);
        auto* edit = qobject_cast<QLineEdit*>(&widget);
        const QString shown = edit ? edit->text() : dynamic_cast<TInumEdit&>(widget).text();
        EXPECT_EQ(shown.toStdString(), c.shown);
        if (*c.entry) {
            EXPECT_TRUE(Contains(pages.program(), c.entry)) << pages.program();
        } else {
            EXPECT_EQ(pages.program(), "");
        }
    }
}

TEST(FormPagesTyping, APasteBringsInOnlyWhatTypingCould) {
    struct Case {
        const char* field;
        const char* pasted;
        const char* shown;
        const char* program;
    };
    const Case cases[] = {
        {"EDTl3", "0039 333 12", "003933312", "TL3=003933312"},
        {"EDTl3", "abc+1234#*", "+1234#*", "TL3=001234#*"},
        {"EDSms2", "a=b", "ab", "#2ab=2"},
        {"EDIc1", "4x2", "42", "IC1=42"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.field);
        FormPagesWindow pages;
        auto* edit = qobject_cast<QLineEdit*>(&pages.get(c.field));
        if (!edit) {
            edit = dynamic_cast<TInumEdit&>(pages.get(c.field)).edit();
        }
        pages.focus(pages.get(c.field));
        QApplication::clipboard()->setText(QString::fromLatin1(c.pasted));
        edit->selectAll();
        QTest::keyClick(&pages.get(c.field), Qt::Key_V, Qt::ControlModifier);
        EXPECT_EQ(edit->text().toStdString(), c.shown);
        EXPECT_EQ(pages.program(), c.program);
    }
}

TEST(FormPagesTyping, AnEditFiltersOnlyWhatItBringsIn) {
    // What the program text put into a field stays there when the user adds to it, even
    // where the field's key filter would refuse it as typing.
    struct Case {
        int model; // menu item of the device model
        const char* line;
        const char* field;
        bool paste; // else typed
        const char* added;
        const char* shown;
        const char* entry;
    };
    const Case cases[] = {
        {0, "LK3.1-2=0", "EDLk3", false, "5", "1-25", "LK3.1-25=0"}, // no ranges typed on LX5
        {2, "TL1=0039 123", "EDTl1", false, "4", "0039 1234", "TL1=0039 1234"},
        {2, "TL1=0039 123", "EDTl1", true, "5 6", "0039 12356", "TL1=0039 12356"},
        {2, "#3a=b=3", "EDSms3", false, "c", "ac", "#3ac=3"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        FormPagesWindow pages;
        pages.form.chooseDeviceMenuItem(c.model);
        pages.doc.program.text().assign({c.line});
        pages.form.decodeProgram();
        pages.pages->refresh();
        auto& edit = pages.get<QLineEdit>(c.field);
        pages.focus(edit);
        edit.end(false);
        if (c.paste) {
            QApplication::clipboard()->setText(QString::fromLatin1(c.added));
            QTest::keyClick(&edit, Qt::Key_V, Qt::ControlModifier);
        } else {
            QTest::keyClicks(&edit, c.added);
        }
        EXPECT_EQ(edit.text().toStdString(), c.shown);
        EXPECT_EQ(pages.program(), c.entry);
    }
}

TEST(FormPagesTyping, TextCrossesAsWindows1252AndOtherCharactersAreRefused) {
    FormPagesWindow pages;
    auto& edit = pages.get<QLineEdit>("EDSms1");
    pages.focus(edit);
    TypeText(edit, QString::fromUtf8("é€ł"));
    EXPECT_EQ(edit.text(), QString::fromUtf8("é€"));
    EXPECT_EQ(pages.beeps, 1);
    EXPECT_TRUE(Contains(pages.program(), "#1\xE9\x80=1")) << pages.program();

    // Nor does a character outside Windows-1252 get into the memos.
    auto& memo = pages.get<QPlainTextEdit>("MemoNote");
    pages.focus(memo);
    TypeText(memo, QString::fromUtf8("ñł"));
    EXPECT_EQ(memo.toPlainText(), QString::fromUtf8("ñ"));
    EXPECT_EQ(pages.beeps, 2);
    ASSERT_EQ(pages.doc.notes.size(), 1U);
    EXPECT_EQ(pages.doc.notes[0], "\xF1");
}

TEST(FormPagesTyping, TypingInTheProgramMemoReachesTheFieldsWhenTheMemoIsLeft) {
    FormPagesWindow pages;
    auto& memo = pages.get<QPlainTextEdit>("MemoSim");
    pages.focus(memo);
    QTest::keyClicks(&memo, "TL2=555");
    QTest::keyClick(&memo, Qt::Key_Return);
    QTest::keyClicks(&memo, "CBX=1");
    EXPECT_EQ(pages.doc.program.text().lines(), (std::vector<std::string>{"TL2=555", "CBX=1"}));
    EXPECT_EQ(pages.get<QLineEdit>("EDTl2").text(), "") << "decoded before the memo was left";

    pages.focus(pages.get("EDTl0"));
    EXPECT_EQ(pages.get<QLineEdit>("EDTl2").text(), "555");
    EXPECT_EQ(memo.toPlainText(), "TL2=555\nCBX=1") << "the typed text stays as it was";
    EXPECT_TRUE(
        WithoutBreakMarks(pages.get<QPlainTextEdit>("MemoSMS").toPlainText()).contains("TL2=555"));

    // Clicking into the memo and leaving it for a button decodes what was typed meanwhile.
    pages.focus(memo);
    EXPECT_EQ(pages.form.fields().focused(), FormModel::fieldIndex("MemoSim"));
    memo.moveCursor(QTextCursor::End);
    QTest::keyClick(&memo, Qt::Key_Return);
    QTest::keyClicks(&memo, "TK1=9");
    EXPECT_EQ(pages.get<QLineEdit>("EDTk1").text(), "");
    pages.focus(pages.get("ButRead"));
    EXPECT_EQ(pages.form.fields().focused(), -1);
    EXPECT_EQ(pages.get<QLineEdit>("EDTk1").text(), "9");
}

TEST(FormPagesTyping, ChecksAndCombosReachTheProgram) {
    FormPagesWindow pages;
    auto& check = pages.get<QCheckBox>("CBRed");
    pages.focus(check);
    QTest::mouseClick(&check, Qt::LeftButton, {}, QPoint(4, check.height() / 2));
    EXPECT_TRUE(Contains(pages.program(), "RED=3")) << pages.program();

    auto& combo = pages.get<QComboBox>("CBTl4");
    pages.get<QLineEdit>("EDTl4").setFocus();
    QTest::keyClicks(&pages.get("EDTl4"), "77");
    pages.focus(combo);
    QTest::keyClick(&combo, Qt::Key_Down); // a closed list: the next item is chosen
    EXPECT_EQ(combo.currentIndex(), 1);
    EXPECT_TRUE(Contains(pages.program(), "TL4C=77")) << pages.program();
}

// ---- Model to widgets -----------------------------------------------------------------------

TEST(FormPagesUpdates, ADecodeShowsEveryValueAndEchoesNothingBack) {
    FormPagesWindow pages;
    int textChanges = 0;
    const Connection counter = pages.doc.program.text().connectChanged([&] { ++textChanges; });
    pages.doc.program.text().assign({"TL1=0039123", "TO3:2=456", "RED=7", "IP2=3", "CLP=0",
                                     "OP1=238", "RR12345678:5=0039333", "TR042=555", "#5Test=5",
                                     "DL4=30"});
    pages.form.decodeProgram();
    pages.pages->refresh();
    EXPECT_EQ(textChanges, 1) << "a widget update ran a handler that wrote the text";

    EXPECT_EQ(pages.get<QLineEdit>("EDTl1").text(), "0039123");
    EXPECT_EQ(pages.get<QComboBox>("CBTO3").currentIndex(), 2);
    EXPECT_EQ(pages.get<QLineEdit>("EDTO3").text(), "456");
    EXPECT_TRUE(pages.get<QCheckBox>("CBRed").isChecked());
    EXPECT_EQ(pages.get<TInumEdit>("EDRed").text(), "7");
    EXPECT_EQ(pages.get<QComboBox>("CBIp2").currentText(), "Disabled");
    EXPECT_EQ(pages.get<QComboBox>("CBClpV").currentText(), "Hidden");
    EXPECT_EQ(pages.get<QComboBox>("CBOp0").currentIndex(), 4);
    EXPECT_EQ(pages.get<QLineEdit>("EDSms5").text(), "Test");
    EXPECT_EQ(pages.get<TInumEdit>("EDDl3").text(), "30");
    const QAbstractItemModel& ramp = *pages.get<QTableView>("SGRamp").model();
    EXPECT_EQ(ramp.index(0, 0).data().toString(), "0039333");
    EXPECT_EQ(ramp.index(0, 1).data().toString(), "1");
    EXPECT_EQ(ramp.index(0, 2).data().toString(), "0");
    EXPECT_EQ(pages.get<QTableView>("SGTR").model()->index(42, 1).data().toString(), "555");
    EXPECT_TRUE(pages.get<QPlainTextEdit>("MemoSim").toPlainText().startsWith("TL1=0039123\n"));
}

TEST(FormPagesUpdates, ATypedKeyRunsTheHandlersOnceAsTheModelsOwnTypingDoes) {
    // The same key typed through the widget and through the model's own typing path must
    // change the program text the same number of times: more would be an echo.
    const auto changesOf = [](auto&& type) {
        FormPagesWindow pages;
        int changes = 0;
        const Connection counter = pages.doc.program.text().connectChanged([&] { ++changes; });
        type(pages);
        return std::pair(changes, pages.program());
    };
    const auto widget = changesOf([](FormPagesWindow& pages) {
        pages.focus(pages.get("EDOp1"));
        QTest::keyClicks(&pages.get("EDOp1"), "7");
    });
    const auto model = changesOf([](FormPagesWindow& pages) {
        pages.form.userEditText(FormModel::fieldIndex("EDOp1"), "7");
    });
    EXPECT_EQ(widget, model);
    EXPECT_EQ(widget.second, "OP2=7");
}

TEST(FormPagesUpdates, AModelSwitchGreysFieldsHidesTheBarrierPageAndRenamesItems) {
    FormPagesWindow pages;
    pages.doc.program.text().assign({"LANET=0", "LKA=5", "RR12345678:1=0039123"});
    pages.form.decodeProgram();
    pages.pages->refresh();
    auto& lanet = pages.get<QLineEdit>("EDLanet");
    auto& lka = pages.get<QLineEdit>("EDLka");
    auto& output = pages.get<QComboBox>("CBOp0");
    const int barrier = pages.tabs->indexOf(&pages.get("TSRampScroll"));
    EXPECT_TRUE(lanet.isReadOnly());
    EXPECT_EQ(lanet.text(), "0") << "a greyed field still shows its entry";
    EXPECT_EQ(lanet.palette().color(QPalette::Text), QColor(128, 128, 128));
    EXPECT_FALSE(lka.isReadOnly());
    EXPECT_FALSE(pages.get<QCheckBox>("CBLanet").isEnabled());
    EXPECT_TRUE(pages.tabs->isTabVisible(barrier));
    EXPECT_EQ(output.itemText(3), "237 - Vertical GREEN Led (Inverted)");
    const QString before = pages.get<QPlainTextEdit>("MemoSim").toPlainText();

    auto& device = pages.get<QComboBox>("CBDevice");
    pages.tabs->setCurrentIndex(barrier); // the page shown when it is hidden
    pages.focus(device);
    QTest::keyClick(&device, Qt::Key_Up);
    QTest::keyClick(&device, Qt::Key_Up);
    QApplication::processEvents();
    EXPECT_EQ(pages.form.deviceIndex(), 0);
    EXPECT_FALSE(lanet.isReadOnly());
    EXPECT_NE(lanet.palette().color(QPalette::Text), QColor(128, 128, 128));
    EXPECT_TRUE(lka.isReadOnly());
    EXPECT_EQ(lka.text(), "5");
    EXPECT_TRUE(pages.get<QCheckBox>("CBLanet").isEnabled());
    EXPECT_FALSE(pages.tabs->isTabVisible(barrier));
    EXPECT_NE(pages.tabs->currentIndex(), barrier);
    EXPECT_TRUE(pages.tabs->currentWidget()->isVisible());
    EXPECT_EQ(output.itemText(3), "237 -");
    EXPECT_EQ(pages.get<QPlainTextEdit>("MemoSim").toPlainText(), before);
}

TEST(FormPagesUpdates, ChangesMadeOutsideTheWidgetsAppearBeforeTheNextEvent) {
    // Open and Read SIM replace the text and decode; the window shows it all once the
    // events of that command have been handled.
    FormPagesWindow pages;
    pages.doc.program.text().assign({"TL0=111", "TR999=222"});
    pages.doc.notes = {"first note", "second note"};
    pages.form.decodeProgram();
    QApplication::processEvents();
    EXPECT_EQ(pages.get<QPlainTextEdit>("MemoSim").toPlainText(), "TL0=111\nTR999=222");
    EXPECT_EQ(pages.get<QPlainTextEdit>("MemoNote").toPlainText(), "first note\nsecond note");
    EXPECT_EQ(WithoutBreakMarks(pages.get<QPlainTextEdit>("MemoSMS").toPlainText()),
              ";TL0=111;TR999=222;");
    EXPECT_EQ(pages.get<QLineEdit>("EDTl0").text(), "111");
    EXPECT_EQ(pages.get<QTableView>("SGTR").model()->index(999, 1).data().toString(), "222");

    // A field edit in a long program rewrites only its line of the memo, and right.
    std::vector<std::string> lines;
    for (int i = 0; i < 300; ++i) {
        lines.push_back("X" + std::to_string(i) + "=" + std::to_string(i));
    }
    pages.doc.program.text().assign(lines);
    QApplication::processEvents();
    pages.focus(pages.get("EDTk5"));
    QTest::keyClicks(&pages.get("EDTk5"), "9");
    QTest::keyClick(&pages.get("EDTk5"), Qt::Key_Backspace);
    QTest::keyClicks(&pages.get("EDTk5"), "8");
    const QString memo = pages.get<QPlainTextEdit>("MemoSim").toPlainText();
    EXPECT_EQ(memo.toStdString() + "\n", [&] {
        std::string text;
        for (const std::string& line : pages.doc.program.text().lines()) {
            text += line + "\n";
        }
        return text;
    }());
    EXPECT_TRUE(memo.contains("TK5=8"));
}

TEST(FormPagesUpdates, PagesGoWithTheirTabsAndFollowTheModelNoLonger) {
    FormPagesWindow pages;
    QPointer<FormPages> bindings = pages.pages;
    pages.focus(pages.get("EDTl1"));
    delete pages.tabs; // with the focused field
    pages.tabs = nullptr;
    EXPECT_TRUE(bindings.isNull());
    pages.doc.program.text().assign({"TL1=5", "TR001=7", "RR12345678:1=0039123"});
    pages.form.decodeProgram();
    pages.form.chooseDeviceMenuItem(0);
    QApplication::processEvents();
    EXPECT_EQ(pages.form.fields().text(FormModel::fieldIndex("EDTl1")), "5");
}

// ---- The integer edit ---------------------------------------------------------------------

TEST(FormPagesNumeric, KeysArrowsAndWheelStepByOne) {
    FormPagesWindow pages;
    int beeps = 0;
    const Connection beeper = pages.form.connectBeep([&] { ++beeps; });
    auto& delay = pages.get<TInumEdit>("EDDl1");
    pages.focus(delay);
    QTest::keyClick(&delay, Qt::Key_Backspace); // the 0 it shows after a reset
    QTest::keyClicks(&delay, "1x2.");
    QTest::keyClick(&delay, Qt::Key_Return);
    EXPECT_EQ(delay.text(), "12");
    QTest::keyClick(&delay, Qt::Key_Up);
    EXPECT_EQ(delay.text(), "13");
    QTest::keyClick(&delay, Qt::Key_Down);
    QTest::keyClick(&delay, Qt::Key_Down);
    EXPECT_EQ(delay.text(), "11");
    QTest::keyClick(&delay, Qt::Key_PageUp);
    EXPECT_EQ(delay.text(), "11");

    const QPoint centre = delay.rect().center();
    QWheelEvent wheel(centre, delay.mapToGlobal(centre), {}, QPoint(0, 120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(&delay, &wheel);
    EXPECT_EQ(delay.text(), "12");
    EXPECT_TRUE(Contains(pages.program(), "DL2=12")) << pages.program();
    EXPECT_EQ(beeps, 0);

    // Steps stop at the field's range.
    for (int i = 0; i < 300; ++i) {
        QTest::keyClick(&delay, Qt::Key_Up);
    }
    EXPECT_EQ(delay.text(), "240");

    // A text that is not a number reads as ErrValue, with a beep.
    QTest::keyClick(&delay, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(&delay, "-");
    EXPECT_EQ(delay.text(), "-");
    EXPECT_GE(beeps, 1);
    EXPECT_FALSE(Contains(pages.program(), "DL2=")) << pages.program();
}

TEST(FormPagesNumeric, AReadOnlyFieldNeitherStepsNorTakesKeys) {
    FormPagesWindow pages; // the barrier model does not allow the line check period
    auto& period = pages.get<TInumEdit>("EDTlchk");
    const QString before = period.text();
    pages.focus(period);
    QTest::keyClick(&period, Qt::Key_Up);
    QTest::keyClicks(&period, "5");
    EXPECT_EQ(period.text(), before);
    EXPECT_EQ(pages.program(), "");
}

// ---- The grids ------------------------------------------------------------------------------

TEST(FormPagesGrids, TypingInTheBarrierGridWritesItsEntries) {
    FormPagesWindow pages;
    auto& ramp = pages.get<QTableView>("SGRamp");
    pages.focus(ramp);
    ramp.setCurrentIndex(ramp.model()->index(0, 0));
    QTest::keyClick(&ramp, '+'); // opens the cell editor with the key
    QWidget* editor = QApplication::focusWidget();
    ASSERT_NE(editor, &ramp) << "no cell editor opened";
    QTest::keyClicks(editor, "39123456789");
    EXPECT_TRUE(Contains(pages.program(), "RR23456789:0=0039123456789")) << pages.program();

    // Flags: a blank toggles, "0" and "1" set, each cell keeps one character.
    QTest::keyClick(editor, Qt::Key_Tab);
    QTest::keyClick(&ramp, Qt::Key_Space);
    EXPECT_EQ(ramp.model()->index(0, 1).data().toString(), "1");
    QTest::keyClick(&ramp, Qt::Key_Space);
    EXPECT_EQ(ramp.model()->index(0, 1).data().toString(), "0");
    QTest::keyClick(&ramp, Qt::Key_1);
    ramp.setCurrentIndex(ramp.model()->index(0, 3));
    QTest::keyClick(&ramp, Qt::Key_X);
    ramp.setCurrentIndex(ramp.model()->index(0, 4));
    QTest::keyClicks(&ramp, "01");
    EXPECT_EQ(ramp.model()->index(0, 4).data().toString(), "1");
    EXPECT_TRUE(Contains(pages.program(), "RR23456789:13=0039123456789")) << pages.program();
    EXPECT_TRUE(pages.get<QPlainTextEdit>("MemoSim").toPlainText().contains("RR23456789:13="));
    QTest::keyClick(&ramp, Qt::Key_Delete);
    EXPECT_EQ(ramp.model()->index(0, 4).data().toString(), "");
    EXPECT_TRUE(Contains(pages.program(), "RR23456789:5=0039123456789")) << pages.program();
}

TEST(FormPagesGrids, TypingInTheTrGridWritesItsEntryAtOnce) {
    FormPagesWindow pages;
    auto& tr = pages.get<QTableView>("SGTR");
    pages.focus(tr);
    tr.setCurrentIndex(tr.model()->index(42, 1));
    QTest::keyClick(&tr, Qt::Key_5);
    QWidget* editor = QApplication::focusWidget();
    ASSERT_NE(editor, &tr) << "no cell editor opened";
    QTest::keyClicks(editor, "55");
    EXPECT_EQ(pages.program(), "TR042=555");
    EXPECT_TRUE(WithoutBreakMarks(pages.get<QPlainTextEdit>("MemoSMS").toPlainText())
                    .contains("TR042=555"));
    QTest::keyClick(editor, Qt::Key_Backspace);
    EXPECT_EQ(pages.program(), "TR042=55");
    EXPECT_EQ(static_cast<QLineEdit*>(editor)->text(), "55");
    EXPECT_EQ(static_cast<QLineEdit*>(editor)->cursorPosition(), 2);
}

} // namespace
} // namespace tarvik
