// Program files reaching the window from the desktop: the file named on the command line,
// File > Recent files, and a file dropped on the window.

#include "editor/shell/mainwindow/FileDrop.h"
#include "editor/shell/mainwindow/MainWindow.h"
#include "editor/shell/mainwindow/tests/EditorRun.h"
#include "editor/shell/pages/FormPages.h"
#include "program/DocumentFiles.h"

#include <QDropEvent>
#include <QFile>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QUrl>
#include <gtest/gtest.h>
#include <system_error>

namespace tarvik {
namespace {

using testing::Editor;
using testing::TestFolder;
using Lines = std::vector<std::string>;

// A program file holding lines, written through the program library.
QString WriteProgram(const TestFolder& folder, const char* name, Lines lines) {
    ProgramDocument doc(2);
    doc.program.text().assign(std::move(lines));
    const QString path = folder.file(QString::fromLatin1(name));
    EXPECT_TRUE(SaveDocument(doc, QFile::encodeName(path).toStdString()).ok);
    return path;
}

QStringList RecentItems(Editor& editor) {
    QStringList texts;
    for (QAction* item : editor.find<QMenu>("RecentFilesMenu").actions()) {
        texts.push_back(item->text());
    }
    return texts;
}

// The message of a program file that is not there.
QString Unreadable(const QString& path) {
    return "The file cannot be read:\n" + path + "\n" +
           QString::fromLocal8Bit(
               std::make_error_code(std::errc::no_such_file_or_directory).message());
}

TEST(DesktopFilesTest, FileArgumentOpensAfterTheLoginAsFileOpenWould) {
    TestFolder folder;
    const QString program = WriteProgram(folder, "alarm.sim", {"TL1=0123"});
    const struct {
        QString path;
        Lines lines;
        QStringList errors;
    } cases[] = {
        {program, {"TL1=0123"}, {}},
        {folder.file("missing.sim"), {}, {Unreadable(folder.file("missing.sim"))}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path.toStdString());
        Editor editor(folder);
        editor.window().openAfterLogin(c.path);
        editor.Start();
        QTRY_COMPARE(editor.prompts.errors, c.errors);
        QTRY_VERIFY(editor.doc().program.text().lines() == c.lines);
        EXPECT_FALSE(editor.doc().modified);
        EXPECT_EQ(testing::ShownTitle(editor.window()),
                  c.errors.isEmpty() ? "Tarvik3 - alarm.sim" : "Tarvik3");
    }
}

TEST(DesktopFilesTest, RecentFilesOutliveARestartAndAMissingOneLeavesWhenChosen) {
    TestFolder folder;
    const QString first = WriteProgram(folder, "first.sim", {"TL1=0123"});
    {
        Editor editor(folder);
        editor.Start();
        EXPECT_FALSE(editor.item("RecentFiles1").isEnabled());
        editor.prompts.QueueOpenFile(first);
        editor.item("FileOpen1").trigger();
        editor.prompts.QueueSaveFile(folder.file("second.sim"));
        editor.item("FileSaveAs1").trigger();
        editor.prompts.QueueOpenFile(first);
        editor.item("FileOpen1").trigger();
    }
    ASSERT_TRUE(QFile::remove(folder.file("second.sim")));

    Editor editor(folder);
    editor.Start();
    EXPECT_EQ(RecentItems(editor), (QStringList{"&1 " + first, "&2 " + folder.file("second.sim")}));
    editor.item("Recent2").trigger();
    QTRY_COMPARE(editor.prompts.errors, QStringList{Unreadable(folder.file("second.sim"))});
    EXPECT_EQ(RecentItems(editor), QStringList{"&1 " + first});
    EXPECT_TRUE(editor.doc().program.text().empty());

    editor.window().pages().MemoSim().setPlainText("TL2=4567");
    editor.item("Recent1").trigger();
    QTRY_COMPARE(editor.doc().program.text().lines(), Lines{"TL1=0123"});
}

TEST(DesktopFilesTest, DropTakesOneLocalProgramFileOnly) {
    const struct {
        QList<QUrl> urls;
        bool taken;
    } cases[] = {
        {{QUrl::fromLocalFile("/tmp/a.sim")}, true},
        {{QUrl::fromLocalFile("/tmp/A.SIM")}, true},
        {{QUrl::fromLocalFile("/tmp/a.txt")}, false},
        {{QUrl::fromLocalFile("/tmp/sim")}, false},
        {{QUrl::fromLocalFile("/tmp/a.sim"), QUrl::fromLocalFile("/tmp/b.sim")}, false},
        {{QUrl("https://example.org/a.sim")}, false},
        {{}, false},
    };
    for (const auto& c : cases) {
        QMimeData data;
        data.setUrls(c.urls);
        EXPECT_EQ(FileDrop::ProgramFile(data).has_value(), c.taken) << data.text().toStdString();
    }
}

TEST(DesktopFilesTest, DroppedProgramFileOpensAfterTheUnsavedChangesQuestion) {
    TestFolder folder;
    const QString program = WriteProgram(folder, "dropped.sim", {"TL1=0123"});
    Editor editor(folder);
    editor.Start();
    QPlainTextEdit& memo = editor.window().pages().MemoSim();
    memo.setPlainText("TL2=4567");

    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(program)});
    const auto drop = [&] {
        // On the memo, which would take the file's name as text if the window did not.
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(memo.viewport(), &enter);
        EXPECT_TRUE(enter.isAccepted());
        QDropEvent dropped(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(memo.viewport(), &dropped);
        EXPECT_TRUE(dropped.isAccepted());
    };
    editor.prompts.QueueYesNoCancel(Prompts::Answer::Cancel);
    drop();
    QTRY_COMPARE(editor.prompts.questions.size(), 1u);
    EXPECT_EQ(editor.prompts.questions[0].text, "Save changes to disk?");
    EXPECT_EQ(memo.toPlainText(), "TL2=4567");

    editor.prompts.QueueYesNoCancel(Prompts::Answer::No);
    drop();
    QTRY_COMPARE(editor.doc().program.text().lines(), Lines{"TL1=0123"});
    EXPECT_EQ(testing::ShownTitle(editor.window()), "Tarvik3 - dropped.sim");
}

TEST(DesktopFilesTest, PrintAndExportWriteTheSheetAndSayWhenTheyCannot) {
    TestFolder folder;
    const QString program = WriteProgram(folder, "alarm.sim", {"TL1=0123"});
    Editor editor(folder);
    editor.Start();
    editor.prompts.QueueOpenFile(program);
    editor.item("FileOpen1").trigger();

    editor.prompts.QueuePrinter(folder.file("printed.pdf"));
    editor.item("FilePrint1").trigger();
    editor.prompts.QueueSavePdf(folder.file("exported.pdf"));
    editor.item("FileExportPdf1").trigger();
    // The export starts beside the program, named after it.
    EXPECT_EQ(editor.prompts.pdfSuggestions, QStringList{folder.file("alarm.pdf")});
    for (const char* name : {"printed.pdf", "exported.pdf"}) {
        EXPECT_TRUE(testing::ReadFile(folder.file(name)).startsWith("%PDF-")) << name;
    }

    editor.prompts.QueuePrinter(std::nullopt);
    editor.item("FilePrint1").trigger();
    editor.prompts.QueueSavePdf(std::nullopt);
    editor.item("FileExportPdf1").trigger();
    editor.prompts.QueueSavePdf(folder.file("no/such/folder.pdf"));
    editor.item("FileExportPdf1").trigger();
    ASSERT_EQ(editor.prompts.errors.size(), 1);
    EXPECT_TRUE(editor.prompts.errors[0].startsWith("The configuration sheet cannot be written:"));
    EXPECT_FALSE(editor.doc().modified);
}

} // namespace
} // namespace tarvik
