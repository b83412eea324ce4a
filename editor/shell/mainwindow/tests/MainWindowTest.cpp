// The main window as a user meets it: started through the login, driven through its menus
// and tool buttons found by name, with scripted answers for every dialog and box.

#include "editor/shell/mainwindow/MainWindow.h"

#include "editor/core/PasswordDigest.h"
#include "editor/form/FormModel.h"
#include "editor/shell/app/Application.h"
#include "editor/shell/mainwindow/Guide.h"
#include "editor/shell/mainwindow/tests/EditorRun.h"
#include "editor/shell/pages/FormPages.h"
#include "editor/shell/testing/GuiTestSupport.h"
#include "editor/shell/testing/ScriptedPrompts.h"
#include "editor/shell/widgets/Pictures.h"
#include "program/DocumentFiles.h"
#include "program/ProgramFile.h"

#include <QAction>
#include <QApplication>
#include <QBuffer>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QSettings>
#include <QTabWidget>
#include <QTest>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>
#include <algorithm>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <optional>
#include <string_view>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>
#include <utility>

namespace tarvik {
namespace {

using testing::Editor;
using testing::PressEnter;
using testing::ReadFile;
using testing::ScriptedPrompts;
using testing::TestFolder;
using testing::TypeText;

// ---- Start, login and the window's parts ---------------------------------------------------

TEST(MainWindowTest, FactoryUserStartsAnEmptyUnmodifiedProgram) {
    TestFolder folder;
    Editor editor(folder);
    editor.Start();

    EXPECT_TRUE(editor.window().isVisible());
    EXPECT_EQ(testing::ShownTitle(editor.window()), "Tarvik3");
    EXPECT_FALSE(editor.doc().modified);
    EXPECT_TRUE(editor.doc().program.text().empty());
    EXPECT_EQ(editor.window().ManualName(), "Man_English.pdf");
    EXPECT_FALSE(editor.window().GermanLayout());
    // The pages scroll in a smaller window: a small one is allowed. It starts with room
    // for every page where the screen has it.
    EXPECT_EQ(editor.window().minimumSize(), QSize(480, 360));
    const QSize screen = editor.window().screen()->availableGeometry().size();
    auto& tabs = editor.find<QTabWidget>("PageControl1");
    for (int i = 0; i < tabs.count(); ++i) {
        const QSize page = PageOf(tabs, i).sizeHint();
        EXPECT_TRUE(tabs.width() >= page.width() || editor.window().width() == screen.width());
        EXPECT_TRUE(tabs.height() >= page.height() || editor.window().height() == screen.height());
    }
    EXPECT_EQ(editor.find<QComboBox>("CBDevice").currentIndex(), 2);
    EXPECT_EQ(editor.prompts.execTitles, QStringList{"Password"});
}

TEST(MainWindowTest, FailedOrCancelledLoginEndsTheProgramBeforeTheWindowAppears) {
    struct Case {
        const char* what;
        ScriptedPrompts::DialogScript answer;
    };
    const Case cases[] = {
        {"wrong password",
         [](QDialog& d) {
             auto* password = d.findChild<QLineEdit*>("EdPsw");
             password->clear();
             QTest::keyClicks(password, "KTY");
             QTest::keyClick(password, Qt::Key_Return);
         }},
        {"cancelled", [](QDialog& d) { d.reject(); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TestFolder folder;
        Editor editor(folder);
        editor.prompts.QueueExec(c.answer);
        EXPECT_EQ(editor.app().Run(), 1);
        EXPECT_FALSE(editor.window().isVisible());
        EXPECT_FALSE(editor.window().LoggedIn());
        EXPECT_TRUE(editor.prompts.questions.empty());
        EXPECT_EQ(editor.prompts.errors, std::string_view(c.what) == "wrong password"
                                             ? QStringList{"Wrong password"}
                                             : QStringList());
    }
}

TEST(MainWindowTest, PublicKeyThatIsNotANumberLeavesTheFactoryLogin) {
    TestFolder folder;
    QSettings(folder.file("settings.ini"), QSettings::IniFormat).setValue("User/PublicKey", "12ab");
    Editor editor(folder);
    editor.Start();
    EXPECT_TRUE(editor.window().isVisible());
}

TEST(MainWindowTest, MenusAndToolBarCarryTheirItemsShortcutsAndHints) {
    TestFolder folder;
    Editor editor(folder);
    editor.Start();

    QStringList bar;
    for (QAction* menu : editor.window().menuBar()->actions()) {
        bar.push_back(menu->text());
    }
    EXPECT_EQ(bar, (QStringList{"&File", "&Edit", "&Device", "&Help"}));

    const struct {
        const char* name;
        const char* shortcut;
    } shortcuts[] = {{"FileNewItem", "Ctrl+N"},
                     {"FileOpen1", "Ctrl+O"},
                     {"FileSave1", "Ctrl+S"},
                     {"Undo1", "Ctrl+Z"},
                     {"Redo1", "Ctrl+Y; Ctrl+Shift+Z"}};
    for (const auto& s : shortcuts) {
        EXPECT_EQ(
            QKeySequence::listToString(editor.item(s.name).shortcuts(), QKeySequence::PortableText),
            s.shortcut)
            << s.name;
    }
    EXPECT_EQ(editor.item("FileExit1").statusTip(), "Exit application");
    for (const char* name : {"ReadSIM1", "WriteSIM1", "Change1", "Guide1", "HelpAbout1"}) {
        editor.item(name);
    }
    const struct {
        const char* name;
        const char* hint;
    } buttons[] = {{"ButNew", "New"},
                   {"ButOpen", "Open"},
                   {"ButSave", "Save"},
                   {"ButNotepad", "Send to Notepad"}};
    for (const auto& b : buttons) {
        EXPECT_EQ(editor.find<QToolButton>(b.name).toolTip(), b.hint);
    }
    auto& toolBar = editor.find<QToolBar>("ToolBar1");
    EXPECT_EQ(editor.find<QLabel>("LabDevice").text(), "Device");
    EXPECT_EQ(editor.find<QComboBox>("CBDevice").parentWidget(), &toolBar);

    // The model menu is a radio group that follows the model and sets it.
    EXPECT_TRUE(editor.item("Dev3").isChecked());
    editor.item("Dev1").trigger();
    EXPECT_TRUE(editor.item("Dev1").isChecked());
    EXPECT_FALSE(editor.item("Dev3").isChecked());
    EXPECT_EQ(editor.find<QComboBox>("CBDevice").currentIndex(), 0);
    EXPECT_EQ(editor.window().form().deviceIndex(), 0);
    // ... and the model chosen in the tool bar moves the check mark.
    auto& selector = editor.find<QComboBox>("CBDevice");
    selector.setFocus();
    QTest::keyClick(&selector, Qt::Key_Down);
    EXPECT_EQ(editor.window().form().deviceIndex(), 1);
    EXPECT_TRUE(editor.item("Dev2").isChecked());
    EXPECT_FALSE(editor.item("Dev1").isChecked());
}

TEST(MainWindowTest, SendBySmsOffersTheMessagesOfTheRemoteText) {
    TestFolder folder;
    Editor editor(folder);
    editor.Start();
    editor.find<QPushButton>("ButSendSms").click();
    EXPECT_EQ(editor.prompts.infos, QStringList{"There is nothing to send by SMS"});

    editor.doc().program.text().assign({"TL1=1", "RED=5"});
    editor.doc().program.buildRemoteText();
    editor.prompts.QueueExec([](QDialog& dialog) {
        auto* list = dialog.findChild<QTreeWidget*>("ListMessages");
        ASSERT_EQ(list->topLevelItemCount(), 1);
        EXPECT_EQ(list->topLevelItem(0)->text(1), "13"); // ";TL1=1;RED=5;"
        EXPECT_EQ(list->topLevelItem(0)->text(2), "waiting");
        dialog.findChild<QPushButton*>("ButCancel")->click();
    });
    editor.find<QPushButton>("ButSendSms").click();
    EXPECT_EQ(editor.prompts.execTitles.back(), "Send by SMS");
}

TEST(MainWindowTest, ChangePasswordFromTheMenuStoresTheNewCredentials) {
    TestFolder folder;
    Editor editor(folder);
    editor.Start();
    editor.prompts.QueueExec([](QDialog& dialog) {
        auto type = [&](const char* box, const char* text) {
            auto* edit = dialog.findChild<QLineEdit*>(box);
            edit->selectAll();
            QTest::keyClicks(edit, text);
        };
        type("EdName", "Tecnico");
        type("EdNew1", "allarme");
        type("EdNew2", "allarme");
        dialog.findChild<QPushButton*>("ButOK")->click();
    });
    editor.item("Change1").trigger();

    EXPECT_EQ(editor.settings().Name(), "Tecnico");
    EXPECT_EQ(editor.settings().PublicKey(),
              static_cast<std::int32_t>(CredentialsDigest("Tecnico", "allarme")));
}

TEST(MainWindowTest, DevicePictureComesFromTarvik3DatOnlyWhenItIsAPicture) {
    QImage picture(40, 30, QImage::Format_RGB32);
    picture.fill(Qt::red);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, "PNG");

    const struct {
        const char* what;
        QByteArray bytes;
        QSize expected;
    } cases[] = {
        {"a picture", png, QSize(40, 30)},
        {"not a picture", QByteArray("BM\x01\x02 this is no bitmap", 22), DevicePicture().size()},
        {"empty", QByteArray(), DevicePicture().size()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TestFolder folder;
        folder.Write("tarvik3.dat", c.bytes);
        Editor editor(folder);
        editor.Start();
        EXPECT_EQ(editor.window().pages().devicePicture().pixmap().size(), c.expected);
    }
}

// ---- Program files and the caption ----------------------------------------------------------

TEST(MainWindowTest, SaveNewAndOpenThroughTheDialogsKeepAccentedTexts) {
    TestFolder folder;
    Editor editor(folder);
    editor.Start();
    QPlainTextEdit& notes = editor.window().pages().MemoNote();
    QPlainTextEdit& program = editor.window().pages().MemoSim();
    TypeText(notes, QStringLiteral("Città, caffè €"));
    program.setPlainText("TL1=0123\nRED=3");
    auto* sms = qobject_cast<QLineEdit*>(editor.window().pages().control("EDSms1"));
    ASSERT_NE(sms, nullptr);
    auto& tabs = editor.find<QTabWidget>("PageControl1");
    for (QWidget* up = sms; up; up = up->parentWidget()) {
        if (const int index = tabs.indexOf(up); index >= 0) {
            tabs.setCurrentIndex(index);
        }
    }
    QApplication::setActiveWindow(&editor.window());
    sms->setFocus(Qt::OtherFocusReason);
    QApplication::processEvents();
    TypeText(*sms, QStringLiteral("Cancello_è"));
    ASSERT_TRUE(editor.doc().modified);
    const std::vector<std::string> lines = editor.doc().program.text().lines();
    ASSERT_NE(std::find(lines.begin(), lines.end(), "#1Cancello_\xe8=1"), lines.end());

    const QString path = folder.file("alarm.sim");
    editor.prompts.QueueSaveFile(path);
    editor.click("ButSave");
    EXPECT_EQ(testing::ShownTitle(editor.window()), "Tarvik3 - alarm.sim");
    EXPECT_FALSE(editor.doc().modified);
    EXPECT_EQ(editor.prompts.saveFolders, QStringList{QDir::homePath()});
    // The file is the scrambled document: model line, notes in Windows-1252, separator,
    // program.
    const std::string plain = UnscrambleText(ReadFile(path).toStdString());
    std::string expected = "SIM-05\r\nCitt\xe0, caff\xe8 \x80\r\nSIM-PRG\r\n";
    for (const std::string& line : lines) {
        expected += line + "\r\n";
    }
    EXPECT_EQ(plain, expected);

    editor.prompts.QueueOkCancel(true);
    editor.click("ButNew");
    EXPECT_EQ(editor.prompts.questions.back().caption, "Confirm");
    EXPECT_EQ(editor.prompts.questions.back().text, "New program?");
    EXPECT_EQ(testing::ShownTitle(editor.window()), "Tarvik3");
    EXPECT_EQ(notes.toPlainText(), "");
    EXPECT_EQ(program.toPlainText(), "");
    EXPECT_EQ(sms->text(), "");

    editor.prompts.QueueOpenFile(path);
    editor.item("FileOpen1").trigger();
    // The dialogs start in the folder used last.
    EXPECT_EQ(editor.prompts.openFolders, QStringList{folder.path()});
    EXPECT_EQ(notes.toPlainText(), QStringLiteral("Città, caffè €"));
    EXPECT_EQ(editor.doc().program.text().lines(), lines);
    EXPECT_EQ(sms->text(), QStringLiteral("Cancello_è"));
    EXPECT_EQ(testing::ShownTitle(editor.window()), "Tarvik3 - alarm.sim");
    EXPECT_FALSE(editor.doc().modified);
    EXPECT_TRUE(editor.prompts.errors.isEmpty());
}

TEST(MainWindowTest, CancelledDialogsAndQuestionChangeNothing) {
    TestFolder folder;
    Editor editor(folder);
    editor.Start();
    editor.window().pages().MemoSim().setPlainText("TL1=0123");

    editor.prompts.QueueOkCancel(false);
    editor.item("FileNewItem").trigger();
    editor.prompts.QueueOpenFile(std::nullopt);
    editor.click("ButOpen");
    editor.prompts.QueueSaveFile(std::nullopt);
    editor.item("FileSave1").trigger();

    EXPECT_EQ(editor.doc().program.text().lines(), std::vector<std::string>{"TL1=0123"});
    EXPECT_TRUE(editor.doc().modified);
    EXPECT_EQ(testing::ShownTitle(editor.window()), "Tarvik3*");
    EXPECT_TRUE(QDir(folder.path()).entryList({"*.sim"}).isEmpty());
}

TEST(MainWindowTest, FileThatFailsToOpenLeavesTheProgramAndSaysWhy) {
    TestFolder folder;
    folder.Write("notes.sim", "this is not a program file\r\n");
    QDir(folder.path()).mkdir("folder.sim");
    // A file that cannot be read is named, with the system's reason.
    const auto unreadable = [&](const char* name, std::errc reason) {
        return QStringList{"The file cannot be read:\n" + folder.file(name) + "\n" +
                           QString::fromLocal8Bit(std::make_error_code(reason).message())};
    };
    const struct {
        const char* name;
        QStringList errors;
    } cases[] = {
        {"missing.sim", unreadable("missing.sim", std::errc::no_such_file_or_directory)},
        {"folder.sim", unreadable("folder.sim", std::errc::is_a_directory)},
        {"notes.sim", {"Invalid file format"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Editor editor(folder);
        editor.Start();
        editor.window().pages().MemoSim().setPlainText("TL1=0123");
        editor.prompts.QueueOpenFile(folder.file(c.name));
        editor.click("ButOpen");
        EXPECT_EQ(editor.prompts.errors, c.errors);
        // Save still asks for a name: the file that failed to open is not the program's.
        EXPECT_EQ(editor.doc().fileName, "");
        EXPECT_EQ(editor.doc().program.text().lines(), std::vector<std::string>{"TL1=0123"});
        EXPECT_EQ(editor.window().pages().MemoSim().toPlainText(), "TL1=0123");
        EXPECT_TRUE(editor.doc().modified);
        EXPECT_EQ(testing::ShownTitle(editor.window()), "Tarvik3*");
    }
}

// ---- Closing --------------------------------------------------------------------------------

TEST(MainWindowTest, ClosePromptAnswers) {
    using Answer = Prompts::Answer;
    const struct {
        const char* what;
        bool named; // the program was saved as kept.sim before the edit
        Answer answer;
        std::optional<QString> saveAs; // the save dialog's answer after Yes, if it is asked
        bool closes;
    } cases[] = {
        {"yes", false, Answer::Yes, "kept.sim", true},
        // Cancelling the save that the close asked for keeps the window and the edits.
        {"yes, save dialog cancelled", false, Answer::Yes, std::nullopt, false},
        // The changes could not be written: the window stays, so they are not lost.
        {"yes, write failed", false, Answer::Yes, "no-such-folder/kept.sim", false},
        {"yes, named program saves without a dialog", true, Answer::Yes, std::nullopt, true},
        {"no", false, Answer::No, std::nullopt, true},
        {"cancel", false, Answer::Cancel, std::nullopt, false},
        {"cancel, named program", true, Answer::Cancel, std::nullopt, false},
    };
    // File > Exit and the window's own close button take the same path.
    const std::pair<const char*, std::function<void(Editor&)>> closers[] = {
        {"File > Exit", [](Editor& e) { e.item("FileExit1").trigger(); }},
        {"close button", [](Editor& e) { e.window().close(); }},
    };
    for (const auto& [how, closeWindow] : closers) {
        for (const auto& c : cases) {
            SCOPED_TRACE(std::string(how) + ": " + c.what);
            TestFolder folder;
            Editor editor(folder);
            editor.Start();
            if (c.named) {
                editor.prompts.QueueSaveFile(folder.file("kept.sim"));
                editor.item("FileSaveAs1").trigger();
            }
            editor.window().pages().MemoSim().setPlainText("TL1=0123");
            QApplication::processEvents();

            editor.prompts.QueueYesNoCancel(c.answer);
            if (c.answer == Answer::Yes && !c.named) {
                editor.prompts.QueueSaveFile(c.saveAs ? std::optional(folder.file(*c.saveAs))
                                                      : std::nullopt);
            }
            closeWindow(editor);

            ASSERT_EQ(editor.prompts.questions.size(), 1u);
            EXPECT_EQ(editor.prompts.questions[0].caption, "Confirm");
            EXPECT_EQ(editor.prompts.questions[0].text, "Save changes to disk?");
            EXPECT_EQ(editor.window().isVisible(), !c.closes);
            const bool saved = c.answer == Answer::Yes && c.closes;
            const std::string kept =
                UnscrambleText(ReadFile(folder.file("kept.sim")).toStdString());
            EXPECT_EQ(kept.find("TL1=0123") != std::string::npos, saved);
            const bool writeFails = c.saveAs && c.saveAs->contains('/');
            EXPECT_EQ(editor.prompts.errors.size(), writeFails ? 1 : 0);
            if (writeFails && !editor.prompts.errors.isEmpty()) {
                EXPECT_EQ(
                    editor.prompts.errors[0],
                    "The file cannot be written:\n" + folder.file(*c.saveAs) + "\n" +
                        QString::fromLocal8Bit(
                            std::make_error_code(std::errc::no_such_file_or_directory).message()));
            }
            if (!c.closes) {
                EXPECT_EQ(editor.window().pages().MemoSim().toPlainText(), "TL1=0123");
                EXPECT_TRUE(editor.doc().modified);
                EXPECT_TRUE(editor.window().isWindowModified());
            }
        }
    }
}

TEST(MainWindowTest, SaveWritesToTheProgramsFileWithoutAskingAndSaveAsAsks) {
    TestFolder folder;
    Editor editor(folder);
    editor.Start();
    QPlainTextEdit& program = editor.window().pages().MemoSim();
    program.setPlainText("TL1=0123");
    QApplication::processEvents();
    EXPECT_EQ(testing::ShownTitle(editor.window()), "Tarvik3*");

    // A new program asks for its name once.
    const QString path = folder.file("alarm.sim");
    editor.prompts.QueueSaveFile(path);
    editor.item("FileSave1").trigger();
    EXPECT_EQ(editor.prompts.saveFolders.size(), 1);
    EXPECT_EQ(testing::ShownTitle(editor.window()), "Tarvik3 - alarm.sim");
    // A second name for the file: a save that renamed a new file over it would leave it
    // behind, a save in place keeps the same file under both names.
    const QString link = folder.file("link.sim");
    ASSERT_EQ(::link(QFile::encodeName(path).constData(), QFile::encodeName(link).constData()), 0);
    const auto inode = [](const QString& file) {
        struct stat st {};
        return ::stat(QFile::encodeName(file).constData(), &st) == 0 ? st.st_ino : 0;
    };
    const auto before = inode(path);

    program.setPlainText("TL1=0123\nRED=3");
    QApplication::processEvents();
    EXPECT_EQ(testing::ShownTitle(editor.window()), "Tarvik3 - alarm.sim*");
    for (const char* command : {"FileSave1", "ButSave"}) {
        SCOPED_TRACE(command);
        if (std::string_view(command) == "ButSave") {
            program.setPlainText("TL1=0123\nRED=4");
            editor.click(command);
        } else {
            editor.item(command).trigger();
        }
        EXPECT_EQ(editor.prompts.saveFolders.size(), 1); // no dialog
        EXPECT_FALSE(editor.doc().modified);
        EXPECT_EQ(testing::ShownTitle(editor.window()), "Tarvik3 - alarm.sim");
        EXPECT_EQ(ReadFile(path).toStdString(), DocumentFileBytes(editor.doc()));
        EXPECT_EQ(ReadFile(link), ReadFile(path));
        EXPECT_EQ(inode(path), before);
    }

    editor.prompts.QueueSaveFile(folder.file("copy.sim"));
    editor.item("FileSaveAs1").trigger();
    EXPECT_EQ(editor.prompts.saveFolders.size(), 2);
    EXPECT_EQ(testing::ShownTitle(editor.window()), "Tarvik3 - copy.sim");
    EXPECT_EQ(ReadFile(folder.file("copy.sim")), ReadFile(path));
}

TEST(MainWindowTest, CloseAsksNothingForNotesAloneOrWhenBothBoxesAreEmpty) {
    const struct {
        const char* what;
        std::function<void(Editor&)> edit;
    } cases[] = {
        {"nothing changed", [](Editor&) {}},
        {"notes only",
         [](Editor& e) { TypeText(e.window().pages().MemoNote(), QStringLiteral("call Marco")); }},
        {"new program, both boxes empty",
         [](Editor& e) {
             e.window().pages().MemoSim().setPlainText("TL1=0123");
             e.prompts.QueueOkCancel(true);
             e.click("ButNew");
             ASSERT_TRUE(e.doc().modified);
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TestFolder folder;
        Editor editor(folder);
        editor.Start();
        c.edit(editor);
        const auto asked = editor.prompts.questions.size();
        EXPECT_TRUE(editor.window().close());
        EXPECT_EQ(editor.prompts.questions.size(), asked);
    }
}

// ---- Languages ------------------------------------------------------------------------------

TEST(MainWindowTest, LanguageFileTranslatesTheWindowAndTheMessages) {
    TestFolder folder;
    folder.Write("LAN_Deutsch.ini", "[Deutsch]\r\n"
                                    "Read SIM=SIM lesen\r\n"
                                    "File=Datei\r\n"
                                    "Open=\xd6"
                                    "ffnen\r\n"
                                    "Confirm=Best\xe4tigen\r\n"
                                    "New program?=Neues Programm?\r\n"
                                    "Save changes to disk?=\xc4nderungen speichern?\r\n");
    folder.Write("LAN_Italiano.ini", "File=Archivio\r\nOpen=Apri\r\n");
    QSettings(folder.file("settings.ini"), QSettings::IniFormat)
        .setValue("User/Language", "deutsch");
    Editor editor(folder);
    editor.Start();

    EXPECT_EQ(editor.window().pages().ButRead().text(), "SIM lesen");
    EXPECT_EQ(editor.window().menuBar()->actions()[0]->text(), "&Datei");
    EXPECT_EQ(editor.item("FileOpen1").text(), QStringLiteral("&Öffnen"));
    EXPECT_EQ(editor.window().ManualName(), "Man_Deutsch.pdf");
    EXPECT_TRUE(editor.window().GermanLayout());
    // Qt's own buttons speak the language too.
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), "Abbrechen");
    for (QPushButton* button :
         {&editor.window().pages().ButRead(), &editor.window().pages().ButWrite()}) {
        EXPECT_EQ(button->minimumWidth(), button->sizeHint().width() * 5 / 3);
    }

    QStringList languages;
    QString checked;
    for (QAction* item : editor.find<QMenu>("Language1").actions()) {
        languages.push_back(item->text().remove('&'));
        if (item->isChecked()) {
            checked = item->text().remove('&');
        }
    }
    EXPECT_EQ(languages, (QStringList{"English", "Deutsch", "Italiano"}));
    EXPECT_EQ(checked, "Deutsch");

    editor.prompts.QueueOkCancel(false);
    editor.click("ButNew");
    editor.window().pages().MemoSim().setPlainText("TL1=0123");
    editor.prompts.QueueYesNoCancel(Prompts::Answer::Cancel);
    editor.window().close();
    ASSERT_EQ(editor.prompts.questions.size(), 2u);
    EXPECT_EQ(editor.prompts.questions[0].caption, QStringLiteral("Bestätigen"));
    EXPECT_EQ(editor.prompts.questions[0].text, "Neues Programm?");
    EXPECT_EQ(editor.prompts.questions[1].text, QStringLiteral("Änderungen speichern?"));
}

TEST(MainWindowTest, LanguageFileWithOddLinesTranslatesWhatItCan) {
    TestFolder folder;
    const QByteArray longText(150, 'x');
    folder.Write("LAN_Italiano.ini", "no equals sign on this line\r\n"
                                     "=\r\n"
                                     "Read SIM=Leggi^pSIM\r\n"
                                     "Write SIM=" +
                                         longText +
                                         "\r\n"
                                         "Open=Apri \xe8\xff\r\n"
                                         "\x81\x8d\x8f=\x90\r\n");
    QSettings(folder.file("settings.ini"), QSettings::IniFormat)
        .setValue("User/Language", "Italiano");
    Editor editor(folder);
    editor.Start();

    EXPECT_EQ(editor.window().pages().ButRead().text(), "Leggi\nSIM");
    EXPECT_EQ(editor.window().pages().ButWrite().text(), QString(100, 'x'));
    EXPECT_EQ(editor.item("FileOpen1").text(), QStringLiteral("&Apri èÿ"));
    EXPECT_EQ(editor.item("FileSave1").text(), "&Save");
    EXPECT_FALSE(editor.window().GermanLayout());
}

TEST(MainWindowTest, ChoosingALanguageAsksForARestart) {
    TestFolder folder;
    folder.Write("LAN_Italiano.ini", "File=Archivio\r\n");
    Editor editor(folder);
    editor.Start();
    QAction* italiano = editor.find<QMenu>("Language1").actions().at(1);
    italiano->trigger();
    EXPECT_EQ(editor.prompts.infos, QStringList{"Please restart Tarvik\r\nNew language: Italiano"});
    EXPECT_EQ(editor.settings().Language(), "Italiano");
    // Nothing is reloaded before the next start.
    EXPECT_EQ(editor.window().menuBar()->actions()[0]->text(), "&File");
}

// ---- Guide and Send to Notepad ---------------------------------------------------------------

TEST(MainWindowTest, GuideOpensTheModelsManualInTheChosenLanguageOrEnglish) {
    const struct {
        const char* what;
        QStringList files;
        const char* language;
        const char* model; // menu item, or null for the starting model
        bool opens;
        QString opened;
        QStringList errors;
    } cases[] = {
        {"chosen language",
         {"BARRIER_Man_Italiano.pdf", "BARRIER_Man_English.pdf"},
         "Italiano",
         nullptr,
         true,
         "BARRIER_Man_Italiano.pdf",
         {}},
        {"language named outside ASCII",
         {"BARRIER_Man_Français.pdf", "BARRIER_Man_English.pdf"},
         "Français",
         nullptr,
         true,
         "BARRIER_Man_Français.pdf",
         {}},
        {"English fallback",
         {"BARRIER_Man_English.pdf"},
         "Italiano",
         nullptr,
         true,
         "BARRIER_Man_English.pdf",
         {}},
        {"first model",
         {"LX5_Man_English.pdf", "BARRIER_Man_English.pdf"},
         "",
         "Dev1",
         true,
         "LX5_Man_English.pdf",
         {}},
        {"missing",
         {"LX5_Man_English.pdf"},
         "Italiano",
         nullptr,
         true,
         "",
         {"The guide is missing: BARRIER_Man_English.pdf"}},
        // Named with its path and the reason, and its folder shown when asked.
        {"no PDF program",
         {"BARRIER_Man_English.pdf"},
         "",
         nullptr,
         false,
         "BARRIER_Man_English.pdf",
         {"The guide cannot be opened:\n%1\nNo program for PDF files was found"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TestFolder folder;
        folder.Write("LAN_Italiano.ini", "File=Archivio\r\nGuide=Guida\r\n");
        folder.Write("LAN_Français.INI", "File=Fichier\r\nGuide=Guide\r\n");
        for (const QString& file : c.files) {
            folder.Write(file, "%PDF-1.4\n");
        }
        QSettings(folder.file("settings.ini"), QSettings::IniFormat)
            .setValue("User/Language", c.language);
        Editor editor(folder);
        editor.Start();
        if (c.model) {
            editor.item(c.model).trigger();
        }
        QStringList opened;
        if (!c.opened.isEmpty()) {
            editor.prompts.QueueOpenDocument(c.opens);
            opened.push_back(folder.file(c.opened));
        }
        if (!c.opens) {
            editor.prompts.QueueOpenFolder(true);
            editor.prompts.QueueOpenDocument(true);
            opened.push_back(folder.path());
        }
        editor.item("Guide1").trigger();
        EXPECT_EQ(editor.prompts.openedDocuments, opened);
        QStringList errors = c.errors;
        for (QString& error : errors) {
            error = error.contains("%1") ? error.arg(folder.file(c.opened)) : error;
        }
        EXPECT_EQ(editor.prompts.errors, errors);
    }
}

TEST(MainWindowTest, ManualPrefixFollowsTheModelIndexModuloFour) {
    const struct {
        int index;
        std::string_view prefix;
    } cases[] = {{0, "LX5_"}, {1, "TQ4+_"},    {2, "BARRIER_"}, {3, ""},
                 {4, "LX5_"}, {6, "BARRIER_"}, {-1, ""}};
    for (const auto& c : cases) {
        EXPECT_EQ(ManualPrefix(c.index), c.prefix) << c.index;
    }
}

TEST(MainWindowTest, SendToNotepadKeepsTheFileUntilTheProgramEnds) {
    TestFolder folder;
    QString exported;
    {
        Editor editor(folder);
        editor.Start();
        editor.window().pages().MemoNote().setPlainText(QStringLiteral("Casa\nFamiglia è"));
        editor.window().pages().MemoSim().setPlainText("TL1=0123\nRED=3");
        editor.prompts.QueueOpenDocument(true);
        editor.click("ButNotepad");

        ASSERT_EQ(editor.prompts.openedDocuments.size(), 1);
        exported = editor.prompts.openedDocuments[0];
        EXPECT_EQ(exported, folder.file("tarvik.txt"));
        const QList<QByteArray> lines = ReadFile(exported).split('\n');
        ASSERT_EQ(lines.size(), 9);
        EXPECT_EQ(lines[0], "Tarvik3\r");
        EXPECT_TRUE(QRegularExpression(R"(^TQ4\+ BARRIER, \d{4}/\w+/\d\d, \d\d:\d\d\r$)")
                        .match(QString::fromLatin1(lines[1]))
                        .hasMatch())
            << lines[1].toStdString();
        EXPECT_EQ(lines.mid(2), (QList<QByteArray>{"\r", "Casa\r", "Famiglia \xe8\r", "\r",
                                                   "TL1=0123\r", "RED=3\r", ""}));
        EXPECT_TRUE(editor.prompts.pauses.empty());

        // No program for text files: said so, naming the file, which stays all the same.
        editor.prompts.QueueOpenDocument(false);
        editor.prompts.QueueOpenFolder(false);
        editor.click("ButNotepad");
        EXPECT_EQ(editor.prompts.errors, QStringList{"The text cannot be shown:\n" + exported +
                                                     "\nNo text editor was found"});
        EXPECT_TRUE(QFile::exists(exported));
    }
    EXPECT_FALSE(QFile::exists(exported));
}

TEST(MainWindowTest, SendToNotepadWritesToTheTemporaryFolderWhenTheProgramsIsNotWritable) {
    TestFolder folder;
    QString exported;
    {
        Editor editor(folder, {folder.file("no-such-folder")});
        editor.Start();
        editor.prompts.QueueOpenDocument(true);
        editor.click("ButNotepad");
        ASSERT_EQ(editor.prompts.openedDocuments.size(), 1);
        exported = editor.prompts.openedDocuments[0];
        EXPECT_TRUE(exported.startsWith(QDir::tempPath() + "/tarvik-")) << exported.toStdString();
        EXPECT_TRUE(ReadFile(exported).startsWith("Tarvik3\r\n"));
        EXPECT_TRUE(editor.prompts.errors.isEmpty());
    }
    EXPECT_FALSE(QFile::exists(exported));
}

} // namespace
} // namespace tarvik
