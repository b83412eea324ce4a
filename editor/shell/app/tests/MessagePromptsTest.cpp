// The prompts a person answers: real message boxes and file dialogs, answered here by a
// timer that finds the box and presses its buttons.

#include "editor/shell/app/MessagePrompts.h"

#include "editor/shell/i18n/QtTranslations.h"
#include "editor/shell/testing/GuiTestSupport.h"
#include "program/LanguageTable.h"

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace tarvik {
namespace {

using testing::TestFolder;

// What a box looked like when it was answered.
struct SeenBox {
    QString caption;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QStringList buttons;
};

// Answers the next message box with answer once it is shown.
void AnswerNextBox(SeenBox& seen, std::function<void(QMessageBox&)> answer) {
    QTimer::singleShot(0, [&seen, answer] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) {
            ADD_FAILURE() << "no message box is shown";
            return;
        }
        seen.caption = box->windowTitle();
        seen.text = box->text();
        seen.icon = box->icon();
        for (const QAbstractButton* button : box->buttons()) {
            seen.buttons.push_back(button->text().remove(u'&'));
        }
        seen.buttons.sort();
        answer(*box);
    });
}

std::function<void(QMessageBox&)> Press(QMessageBox::StandardButton button) {
    return [button](QMessageBox& box) { box.button(button)->click(); };
}

std::function<void(QMessageBox&)> PressKey(Qt::Key key) {
    return [key](QMessageBox& box) { QTest::keyClick(&box, key); };
}

TEST(MessagePromptsTest, InformationAndErrorBoxCaptionsFollowTheLanguage) {
    const struct {
        const char* line1;
        const char* line2;
        QString info;
        QString error;
    } cases[] = {
        {"", "", "Information", "Error"},
        {"Information=Informazione", "Error=Errore", "Informazione", "Errore"},
        {"Information=Information", "Error=Fehler", "Information", "Fehler"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.error.toStdString());
        LanguageTable table;
        table.load({";", c.line1, c.line2});
        MessagePrompts prompts;
        prompts.SetLanguage(&table);
        SeenBox info;
        AnswerNextBox(info, Press(QMessageBox::Ok));
        prompts.ShowInfo("Saved");
        EXPECT_EQ(info.caption, c.info);
        SeenBox error;
        AnswerNextBox(error, Press(QMessageBox::Ok));
        prompts.ShowError("Failed");
        EXPECT_EQ(error.caption, c.error);
    }
}

TEST(MessagePromptsTest, InformationAndErrorBoxesShowTheirIconsAndText) {
    MessagePrompts prompts;
    SeenBox info;
    AnswerNextBox(info, Press(QMessageBox::Ok));
    prompts.ShowInfo("Please restart Tarvik\r\nNew language: Deutsch");
    EXPECT_EQ(info.caption, "Information");
    EXPECT_EQ(info.icon, QMessageBox::Warning);
    EXPECT_EQ(info.text, "Please restart Tarvik\nNew language: Deutsch");
    EXPECT_EQ(info.buttons, QStringList{"OK"});

    SeenBox error;
    AnswerNextBox(error, PressKey(Qt::Key_Escape));
    prompts.ShowError("DISK ERROR");
    EXPECT_EQ(error.caption, "Error");
    EXPECT_EQ(error.icon, QMessageBox::Critical);
    EXPECT_EQ(error.text, "DISK ERROR");
}

TEST(MessagePromptsTest, QuestionsReturnTheButtonPressedAndClosingCancels) {
    MessagePrompts prompts;
    struct OkCase {
        std::function<void(QMessageBox&)> answer;
        bool ok;
    };
    for (const auto& c : std::vector<OkCase>{{Press(QMessageBox::Ok), true},
                                             {Press(QMessageBox::Cancel), false},
                                             {PressKey(Qt::Key_Escape), false},
                                             {PressKey(Qt::Key_Return), true},
                                             {[](QMessageBox& b) { b.close(); }, false}}) {
        SeenBox seen;
        AnswerNextBox(seen, c.answer);
        EXPECT_EQ(prompts.AskOkCancel("Confirm", "New program?"), c.ok);
        EXPECT_EQ(seen.caption, "Confirm");
        EXPECT_EQ(seen.icon, QMessageBox::Question);
        EXPECT_EQ(seen.buttons, (QStringList{"Cancel", "OK"}));
    }

    using Answer = Prompts::Answer;
    struct YesNoCase {
        std::function<void(QMessageBox&)> answer;
        Answer result;
    };
    for (const auto& c :
         std::vector<YesNoCase>{{Press(QMessageBox::Yes), Answer::Yes},
                                {Press(QMessageBox::No), Answer::No},
                                {Press(QMessageBox::Cancel), Answer::Cancel},
                                {PressKey(Qt::Key_Escape), Answer::Cancel},
                                {[](QMessageBox& b) { b.close(); }, Answer::Cancel}}) {
        SeenBox seen;
        AnswerNextBox(seen, c.answer);
        EXPECT_EQ(prompts.AskYesNoCancel("Confirm", "Save changes to disk?"), c.result);
        EXPECT_EQ(seen.buttons, (QStringList{"Cancel", "No", "Yes"}));
    }
}

TEST(MessagePromptsTest, QtsOwnButtonsSpeakTheChosenLanguage) {
    const struct {
        const char* language;
        QStringList yesNoCancel; // sorted
        QStringList okCancel;
    } cases[] = {
        {"Italiano", {"Annulla", "No", "Sì"}, {"Annulla", "OK"}},
        {"Deutsch", {"Abbrechen", "Ja", "Nein"}, {"Abbrechen", "OK"}},
        {"Klingonisch", {"Cancel", "No", "Yes"}, {"Cancel", "OK"}},
    };
    MessagePrompts prompts;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.language);
        {
            QtTranslations translations;
            EXPECT_EQ(translations.Load(QString::fromUtf8(c.language), {}),
                      c.yesNoCancel[0] != "Cancel");
            SeenBox question;
            AnswerNextBox(question, [&](QMessageBox& box) {
                testing::RenderWidget(box, QStringLiteral("qt-buttons-") + c.language);
                box.button(QMessageBox::Cancel)->click();
            });
            EXPECT_EQ(prompts.AskYesNoCancel("Conferma", "Salvare le modifiche?"),
                      Prompts::Answer::Cancel);
            EXPECT_EQ(question.buttons, c.yesNoCancel);
            SeenBox okCancel;
            AnswerNextBox(okCancel, Press(QMessageBox::Ok));
            EXPECT_TRUE(prompts.AskOkCancel("Conferma", "Nuovo programma?"));
            EXPECT_EQ(okCancel.buttons, c.okCancel);
        }
        // Gone with the object.
        SeenBox after;
        AnswerNextBox(after, Press(QMessageBox::Ok));
        prompts.ShowInfo("x");
        EXPECT_EQ(after.buttons, QStringList{"OK"});
        EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), "Cancel");
    }
}

TEST(MessagePromptsTest, FileDialogsOfferProgramFilesAndAddTheSuffix) {
    TestFolder folder;
    folder.Write("alarm.sim", "x");
    MessagePrompts prompts;

    QStringList filters;
    QString suffix;
    QString directory;
    const auto inspectAndChoose = [&](const QString& name) {
        QTimer::singleShot(0, [&, name] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            if (!dialog) {
                ADD_FAILURE() << "no file dialog is shown";
                return;
            }
            filters = dialog->nameFilters();
            suffix = dialog->defaultSuffix();
            directory = dialog->directory().absolutePath();
            dialog->selectFile(name);
            static_cast<QDialog*>(dialog)->accept();
        });
    };

    inspectAndChoose(folder.file("alarm.sim"));
    EXPECT_EQ(prompts.OpenFileName(folder.path()), folder.file("alarm.sim"));
    EXPECT_EQ(filters, (QStringList{"*.sim (*.sim)", "*.* (*)"}));
    EXPECT_EQ(suffix, "sim");
    EXPECT_EQ(directory, folder.path());

    inspectAndChoose(folder.file("new"));
    EXPECT_EQ(prompts.SaveFileName(folder.path()), folder.file("new.sim"));

    QTimer::singleShot(0, [] { QApplication::activeModalWidget()->close(); });
    EXPECT_EQ(prompts.OpenFileName(folder.path()), std::nullopt);
}

TEST(MessagePromptsTest, PauseKeepsEventsFlowing) {
    MessagePrompts prompts;
    bool timerRan = false;
    QTimer::singleShot(10, [&] { timerRan = true; });
    QElapsedTimer clock;
    clock.start();
    prompts.Pause(std::chrono::milliseconds(60));
    EXPECT_GE(clock.elapsed(), 55);
    EXPECT_TRUE(timerRan);
}

} // namespace
} // namespace tarvik
