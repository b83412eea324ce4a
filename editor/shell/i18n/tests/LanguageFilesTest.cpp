// The language files that ship with the program: complete for every window and message,
// and written the way the program reads them.

#include "base/Files.h"
#include "base/TextLines.h"
#include "editor/shell/app/Application.h"
#include "editor/shell/dialogs/BatchDialog.h"
#include "editor/shell/dialogs/NewPasswordDialog.h"
#include "editor/shell/dialogs/PasswordDialog.h"
#include "editor/shell/dialogs/PinDialog.h"
#include "editor/shell/dialogs/RestoreDialog.h"
#include "editor/shell/dialogs/SendSmsDialog.h"
#include "editor/shell/dialogs/WriteDialog.h"
#include "editor/shell/i18n/WindowTranslator.h"
#include "editor/shell/mainwindow/MainWindow.h"
#include "editor/shell/testing/GuiTestSupport.h"
#include "editor/shell/testing/ScriptedPrompts.h"
#include "editor/shell/widgets/QtText.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QMenuBar>
#include <QRegularExpression>
#include <QToolBar>
#include <QVBoxLayout>
#include <gtest/gtest.h>
#include <map>
#include <set>

namespace tarvik {
namespace {

using testing::ScriptedPrompts;
using testing::TestFolder;

const char* const kLanguageFiles[] = {"LAN_Italiano.ini", "LAN_Deutsch.ini"};

// The messages the program looks up just before showing them.
const char* const kMessages[] = {
    "Read from SIM?",
    "Confirm",
    "SIM not found",
    "SIM is blocked, PIN count is zero",
    "Wrong PIN! - PIN count is now %d",
    "Save changes to disk?",
    "RR Telephone number",
    "Output 1",
    "Output 2",
    "Output 3",
    "Output 4",
    "TR Telephone number",
    "Please restart Tarvik",
    "New language:",
    "New program?",
    "DISK ERROR",
    "Invalid file format",
    "NC + Reset SMS",
    "NO (GND) + Reset SMS",
    "NO (+12V) + Reset SMS",
    "237 - Vertical GREEN Led (Inverted)",
    "238 - Vertical GREEN Led",
    "239 - Vertical BLUE Led (Inverted)",
    "240 - Vertical BLUE Led",
    // The write's preview and backup, the restore, and what a read leaves out.
    "1 entry changes",
    "%d entries change",
    "1 entry moves to another record",
    "%d entries move to other records",
    "1 contact that is not part of the program will be deleted",
    "%d contacts that are not part of the program will be deleted",
    "%d program lines do not fit on the SIM",
    "The SIM already holds this program",
    "added",
    "changed",
    "removed",
    "moved",
    "deleted",
    "record",
    "%d SIM records that the program text cannot hold were left out",
    "The SIM backup cannot be saved, so nothing was written:",
    "This SIM backup cannot be used:",
    "This SIM backup does not fit the SIM card:",
    "Restore SIM",
    "This SIM backup was taken of another SIM card. Restore it all the same?",
    "The SIM could not be restored:",
    "The SIM was restored from the backup",
    "There are no SIM backups yet.",
    "Entries in this backup:",
    "This backup holds no entries",
    "The SIM already holds this backup",
    "Date",
    "Records",
    "unknown",
    // Sending the remote-programming text by SMS.
    "Send by SMS...",
    "Message",
    "Characters",
    "State",
    "waiting",
    "sending",
    "sent",
    "failed",
    "Not a telephone number",
    "Sending...",
    "Stopping after the message in hand",
    "All messages were sent",
    "Sending stopped",
    "The modem failed:",
    "There is nothing to send by SMS",
    "This program cannot be sent by SMS:",
    // The steps Edit > Undo and Redo name.
    "field change",
    "typing in the program",
    "model change",
    "new program",
    // The configuration sheet.
    "Configuration sheet",
    "Model",
    "File",
    "Date",
    "Notes",
    "(not saved)",
    "yes",
    "no",
    "The configuration sheet cannot be written:",
    // Programming cards in a row.
    "Insert the next card",
    "Take the card out",
    "Writing the card",
    "Reading the card back",
    "The run has ended",
    "This card was programmed in this run already. Write it again?",
    "Time",
    "Site row",
    "Result",
    // The PIN dialog.
    "The device needs a SIM card whose PIN is off. Tarvik turns off the PIN of this card.",
    "1 attempt left",
    "%d attempts left",
    "The last attempt: a wrong PIN blocks the card",
    // What the status bar says after a card command, and the login.
    "Read from the SIM: %d program lines",
    "Read from the SIM: 1 program line",
    "Written to the SIM: %d records changed",
    "Written to the SIM: 1 record changed",
    "backup saved",
    "The SIM was not written",
    "Wrong password",
    // Why a command failed.
    "The card service (pcscd) is not running",
    "No card reader is connected",
    "This card reader is not connected:",
    "There is no SIM card in the reader",
    "The file cannot be read:",
    "The file cannot be written:",
    "The guide cannot be opened:",
    "No program for PDF files was found",
    "The guide is missing:",
    "Open folder",
    "The text cannot be shown:",
    "No text editor was found",
    "Tarvik version 3.00",
    // The captions of the information and error boxes.
    "Information",
    "Error",
};

// KEY -> TRANSLATION of a language file, as Windows-1252 bytes.
std::map<std::string, std::string> EntriesOf(const std::string& bytes) {
    std::map<std::string, std::string> entries;
    for (const std::string& line : SplitLines(bytes)) {
        const std::size_t eq = line.find('=');
        if (eq != std::string::npos) {
            entries[line.substr(0, eq)] = line.substr(eq + 1);
        }
    }
    return entries;
}

std::string ReadLanguageFile(const char* name) {
    const auto bytes = base::ReadWholeFile(std::filesystem::path(TARVIK_LANGUAGES_DIR) / name);
    EXPECT_TRUE(bytes) << name;
    return bytes ? *bytes : std::string();
}

// Texts that read the same in every language: keywords, codes and numbers carry no
// lower-case letter.
bool NeedsTranslation(const QString& text) {
    return text.contains(QRegularExpression(QStringLiteral("[a-z]")));
}

// The texts of the dialogs that a translator must see.
QStringList DialogTexts() {
    LanguageTable table;
    ScriptedPrompts prompts;
    TestFolder folder;
    const auto settings = folder.OpenSettings();
    PasswordDialog login(table);
    NewPasswordDialog change(table, *settings, login);
    WriteDialog write(table);
    PinDialog pin(table, prompts);
    RestoreDialog restore(table);
    SendSmsDialog sendSms(table, *settings);
    BatchDialog batch(table, prompts);
    QStringList texts;
    for (QWidget* dialog : std::initializer_list<QWidget*>{&login, &change, &write, &pin, &restore,
                                                           &sendSms, &batch}) {
        texts += TranslatableTexts(*dialog);
    }
    return texts;
}

// The texts of the main window's menus and tool bar.
QStringList MainWindowFrameTexts() {
    ScriptedPrompts prompts;
    TestFolder folder;
    const auto settings = folder.OpenSettings();
    Application app(*settings, prompts, ResourceFolders({folder.path()}));
    app.CreateWindows();
    MainWindow& window = *app.mainWindow();
    QStringList texts = TranslatableTexts(*window.menuBar());
    texts += TranslatableTexts(*window.findChild<QToolBar*>(QStringLiteral("ToolBar1")));
    texts.removeAll(QStringLiteral("Tools")); // the tool bar's own title is never shown
    return texts;
}

TEST(LanguageFilesTest, EveryTextAndMessageHasATranslation) {
    QStringList needed = DialogTexts() + MainWindowFrameTexts();
    for (const char* message : kMessages) {
        needed.push_back(QString::fromLatin1(message));
    }
    for (const char* file : kLanguageFiles) {
        const auto entries = EntriesOf(ReadLanguageFile(file));
        for (const QString& text : needed) {
            if (NeedsTranslation(text)) {
                EXPECT_TRUE(entries.contains(*ToWindows1252(text)))
                    << file << " lacks " << text.toStdString();
            }
        }
    }
}

TEST(LanguageFilesTest, FilesAreWindows1252WithCrLfAndMatchingKeys) {
    std::set<std::string> firstKeys;
    for (const char* file : kLanguageFiles) {
        const std::string bytes = ReadLanguageFile(file);
        // Written on Windows: CR LF only, and Windows-1252 rather than UTF-8, whose
        // two-byte sequences would show as "Ã¤" and the like.
        EXPECT_EQ(QByteArray::fromStdString(bytes).count("\n"),
                  QByteArray::fromStdString(bytes).count("\r\n"))
            << file;
        const QString text = FromWindows1252(bytes);
        EXPECT_FALSE(text.contains(u'\u00c3') || text.contains(u'\u00c2')) << file;

        std::set<std::string> keys;
        for (const auto& [key, translation] : EntriesOf(bytes)) {
            keys.insert(key);
            EXPECT_FALSE(translation.empty()) << file << ": " << key;
            EXPECT_LE(translation.size(), 100u) << file << ": " << key;
            // A format keeps its number, and nothing else a formatter could misread.
            EXPECT_EQ(key.find("%d") != std::string::npos,
                      translation.find("%d") != std::string::npos)
                << file << ": " << key;
        }
        if (firstKeys.empty()) {
            firstKeys = keys;
        } else {
            EXPECT_EQ(keys, firstKeys) << file << " and " << kLanguageFiles[0] << " differ";
        }
    }
}

// Widgets that show a text narrower than the text needs.
QStringList ClippedTexts(QWidget& window) {
    QStringList clipped;
    for (QWidget* widget : window.findChildren<QWidget*>()) {
        if (!widget->isVisible()) {
            continue;
        }
        QString text;
        if (auto* label = qobject_cast<QLabel*>(widget)) {
            text = label->text();
        } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
            text = button->text();
        } else if (auto* group = qobject_cast<QGroupBox*>(widget)) {
            text = group->title();
        } else {
            continue;
        }
        if (widget->width() < widget->minimumSizeHint().width() ||
            widget->width() < widget->sizeHint().width()) {
            clipped.push_back(text);
        }
    }
    return clipped;
}

TEST(LanguageFilesTest, ClippedTextsAreFound) {
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    layout->addWidget(new QLabel("A label far too long for the window it is shown in"));
    window.setFixedWidth(60);
    window.show();
    EXPECT_EQ(ClippedTexts(window).size(), 1);
}

TEST(LanguageFilesTest, TranslatedDialogsShowTheirWholeTexts) {
    for (const char* file : kLanguageFiles) {
        LanguageTable table;
        table.loadBytes(ReadLanguageFile(file));
        ScriptedPrompts prompts;
        TestFolder folder;
        const auto settings = folder.OpenSettings();
        PasswordDialog login(table);
        NewPasswordDialog change(table, *settings, login);
        WriteDialog write(table);
        PinDialog pin(table, prompts);
        RestoreDialog restore(table);
        SendSmsDialog sendSms(table, *settings);
        const std::vector<std::pair<QDialog*, QString>> dialogs = {
            {&login, "login"}, {&change, "change-password"}, {&write, "write"},
            {&pin, "pin"},     {&restore, "restore"},        {&sendSms, "send-sms"}};
        for (const auto& [dialog, name] : dialogs) {
            const QString shot =
                QStringLiteral("dialog-%1-%2").arg(name, QString::fromLatin1(file));
            prompts.QueueExec([&](QDialog& d) {
                EXPECT_EQ(ClippedTexts(d), QStringList()) << shot.toStdString();
                testing::RenderWidget(d, shot);
                d.reject();
            });
            prompts.Exec(*dialog);
        }
    }
}

} // namespace
} // namespace tarvik
