// Edit > Undo and Redo over every kind of change of the program: text, form and Modified
// follow each step both ways.

#include "editor/form/FormModel.h"
#include "editor/shell/mainwindow/MainWindow.h"
#include "editor/shell/mainwindow/tests/EditorRun.h"
#include "editor/shell/pages/FormPages.h"
#include "program/DocumentFiles.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTableView>
#include <functional>
#include <gtest/gtest.h>

namespace tarvik {
namespace {

using testing::Editor;
using testing::TestFolder;
using testing::TypeText;
using Lines = std::vector<std::string>;

class UndoRedoTest : public ::testing::Test {
protected:
    void SetUp() override {
        ProgramDocument saved(2);
        saved.program.text().assign({"TL1=0123"});
        ASSERT_TRUE(SaveDocument(saved, QFile::encodeName(path).toStdString()).ok);
        editor.Start();
        editor.prompts.QueueOpenFile(path);
        editor.item("FileOpen1").trigger();
        ASSERT_FALSE(editor.item("Undo1").isEnabled());
    }

    Lines lines() { return editor.doc().program.text().lines(); }
    QString shown(const char* field) { return editor.find<QLineEdit>(field).text(); }

    TestFolder folder;
    QString path = folder.file("alarm.sim");
    Editor editor{folder};
};

TEST_F(UndoRedoTest, EveryKindOfChangeIsOneStepBothWays) {
    struct Case {
        const char* what;
        std::function<void(Editor&)> change;
        Lines after;
        const char* undoText;
        int model;
    };
    const Case cases[] = {
        {"field",
         [](Editor& e) {
             auto& edit = e.find<QLineEdit>("EDTl1");
             e.focus(edit);
             edit.selectAll();
             TypeText(edit, "0456");
         },
         {"TL1=0456"},
         "&Undo field change",
         2},
        {"memo",
         [](Editor& e) {
             auto& memo = e.window().pages().MemoSim();
             e.focus(memo);
             memo.selectAll();
             TypeText(memo, "TL1=789");
         },
         {"TL1=789"},
         "&Undo typing in the program",
         2},
        {"grid",
         [](Editor& e) {
             auto& grid = e.find<QTableView>("SGTR");
             e.focus(grid);
             grid.model()->setData(grid.model()->index(4, 1), "555");
         },
         {"TL1=0123", "TR004=555"},
         "&Undo field change",
         2},
        {"model",
         [](Editor& e) { e.item("Dev1").trigger(); },
         {"TL1=0123"},
         "&Undo model change",
         0},
        {"new",
         [](Editor& e) {
             e.prompts.QueueOkCancel(true);
             e.item("FileNewItem").trigger();
         },
         {},
         "&Undo new program",
         2},
    };
    const auto& selector = editor.find<QComboBox>("CBDevice");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        c.change(editor);
        QTRY_VERIFY(editor.doc().modified);
        EXPECT_EQ(lines(), c.after);
        // Named at once, typing still in progress included.
        EXPECT_EQ(editor.item("Undo1").text(), c.undoText);

        editor.item("Undo1").trigger();
        EXPECT_EQ(lines(), Lines{"TL1=0123"});
        EXPECT_EQ(shown("EDTl1"), "0123");
        EXPECT_EQ(selector.currentIndex(), 2);
        EXPECT_FALSE(editor.doc().modified);
        EXPECT_TRUE(editor.item("Redo1").isEnabled());
        EXPECT_FALSE(editor.item("Undo1").isEnabled());

        editor.item("Redo1").trigger();
        EXPECT_EQ(lines(), c.after);
        EXPECT_EQ(selector.currentIndex(), c.model);
        EXPECT_TRUE(editor.doc().modified);
        EXPECT_EQ(editor.item("Undo1").text(), c.undoText);
        std::string shownText;
        for (const std::string& line : c.after) {
            shownText += (shownText.empty() ? "" : "\n") + line;
        }
        EXPECT_EQ(editor.window().pages().MemoSim().toPlainText().toStdString(), shownText);

        editor.item("Undo1").trigger();
    }
}

TEST_F(UndoRedoTest, SaveKeepsTheHistoryAndOpenClearsIt) {
    // Typing in one edit box, then in the next: two steps.
    const auto type = [&](const char* field, const char* text) {
        auto& edit = editor.find<QLineEdit>(field);
        editor.focus(edit);
        edit.selectAll();
        TypeText(edit, text);
    };
    type("EDTl1", "1");
    type("EDTl2", "2");
    editor.item("Undo1").trigger();
    editor.item("FileSave1").trigger(); // to the file opened, without a dialog
    EXPECT_FALSE(editor.doc().modified);

    // Either way from the saved program is a change.
    editor.item("Undo1").trigger();
    EXPECT_EQ(lines(), Lines{"TL1=0123"});
    EXPECT_TRUE(editor.doc().modified);
    editor.item("Redo1").trigger();
    EXPECT_FALSE(editor.doc().modified);
    editor.item("Redo1").trigger();
    EXPECT_EQ(lines(), (Lines{"TL1=1", "TL2=2"}));
    EXPECT_TRUE(editor.doc().modified);

    editor.prompts.QueueOpenFile(path);
    editor.item("FileOpen1").trigger();
    EXPECT_EQ(lines(), Lines{"TL1=1"});
    EXPECT_FALSE(editor.item("Undo1").isEnabled());
    EXPECT_FALSE(editor.item("Redo1").isEnabled());
}

} // namespace
} // namespace tarvik
