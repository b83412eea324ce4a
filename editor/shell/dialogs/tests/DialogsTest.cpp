// The small dialogs: PIN, write, About, and the frame they share.

#include "editor/shell/dialogs/AboutDialog.h"
#include "editor/shell/dialogs/BatchDialog.h"
#include "editor/shell/dialogs/NewPasswordDialog.h"
#include "editor/shell/dialogs/PasswordDialog.h"
#include "editor/shell/dialogs/PinDialog.h"
#include "editor/shell/dialogs/RestoreDialog.h"
#include "editor/shell/dialogs/WriteDialog.h"
#include "editor/shell/testing/GuiTestSupport.h"
#include "editor/shell/testing/ScriptedPrompts.h"
#include "editor/sim/BackupStore.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTreeWidget>
#include <gtest/gtest.h>
#include <optional>

namespace tarvik {
namespace {

using testing::ScriptedPrompts;
using testing::TestFolder;

LanguageTable Italian() {
    LanguageTable table;
    table.load({"Disable PIN=Disabilita PIN", "Cancel=Annulla", "Annulla=Twice",
                "Wrong PIN! - PIN count is now %d=PIN errato! Tentativi rimasti: %d",
                "Write to SIM?=Scrivere nella SIM?",
                "Delete SIM during write=Cancella la SIM durante la scrittura", "Tarvik=Tradotto",
                "OK=Va bene", "Date=Data", "unknown=sconosciuto"});
    return table;
}

QPushButton& Button(QDialog& dialog, const char* name) {
    auto* button = dialog.findChild<QPushButton*>(QString::fromLatin1(name));
    EXPECT_NE(button, nullptr) << name;
    return *button;
}

class PinDialogTest : public ::testing::Test {
protected:
    LanguageTable table;
    ScriptedPrompts prompts;
    PinDialog dialog{table, prompts};
    std::vector<std::string> offered;
    int remaining = 3;

    void SetUp() override {
        // A card whose PIN is 1234 and that allows three presentations.
        dialog.SetDisablePin([this](const std::string& pin) {
            offered.push_back(pin);
            if (pin == "1234") {
                return PinAttempt{true, remaining};
            }
            return PinAttempt{false, --remaining};
        });
    }
};

TEST_F(PinDialogTest, OkIsEnabledExactlyWhileThePinBoxHoldsText) {
    prompts.QueueExec([](QDialog& d) {
        auto* pin = d.findChild<QLineEdit*>("EdPin");
        auto& ok = Button(d, "ButOk");
        EXPECT_FALSE(ok.isEnabled());
        QTest::keyClicks(pin, "1");
        EXPECT_TRUE(ok.isEnabled());
        QTest::keyClick(pin, Qt::Key_Backspace);
        EXPECT_FALSE(ok.isEnabled());
        // Enter does nothing while OK is disabled.
        QTest::keyClick(pin, Qt::Key_Return);
        EXPECT_TRUE(d.isVisible());
        Button(d, "ButCancel").click();
    });
    EXPECT_EQ(prompts.Exec(dialog), QDialog::Rejected);
    EXPECT_TRUE(offered.empty());
}

TEST_F(PinDialogTest, WrongPinShowsTheCountAndKeepsTheDialogOpen) {
    prompts.QueueExec([](QDialog& d) {
        auto* pin = d.findChild<QLineEdit*>("EdPin");
        QTest::keyClicks(pin, "9999");
        Button(d, "ButOk").click();
        EXPECT_TRUE(d.isVisible());
        // Emptied, so that Enter cannot spend another attempt on the same wrong PIN.
        EXPECT_EQ(pin->text(), "");
        QTest::keyClick(pin, Qt::Key_Return);
        QTest::keyClicks(pin, "1234");
        QTest::keyClick(pin, Qt::Key_Return);
    });
    EXPECT_EQ(prompts.Exec(dialog), QDialog::Accepted);
    EXPECT_EQ(offered, (std::vector<std::string>{"9999", "1234"}));
    EXPECT_EQ(prompts.errors, QStringList{"Wrong PIN! - PIN count is now 2"});
}

TEST_F(PinDialogTest, AttemptsLeftAreShownAndTheLastOneIsConfirmed) {
    const struct {
        int remaining;
        QString shown;
        std::optional<bool> confirm; // the answer to "The last attempt", if it is asked
        std::vector<std::string> offered;
        int result;
    } cases[] = {
        {3, "3 attempts left", std::nullopt, {"9999"}, QDialog::Rejected},
        {2, "2 attempts left", std::nullopt, {"9999"}, QDialog::Rejected},
        // OK at the last attempt asks; Cancel offers nothing and keeps the PIN to correct.
        {1, "1 attempt left", false, {}, QDialog::Rejected},
        // Confirmed and wrong: the card is blocked, so the dialog closes.
        {1, "1 attempt left", true, {"9999"}, QDialog::Rejected},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.remaining);
        remaining = c.remaining;
        offered.clear();
        prompts.errors.clear();
        prompts.questions.clear();
        dialog.SetPinRemaining([this] { return remaining; });
        if (c.confirm) {
            prompts.QueueOkCancel(*c.confirm);
        }
        prompts.QueueExec([&](QDialog& d) {
            EXPECT_EQ(dialog.LabAttempts().text(), c.shown);
            EXPECT_TRUE(dialog.LabAttempts().isVisibleTo(&d));
            QTest::keyClicks(&dialog.EdPin(), "9999");
            Button(d, "ButOk").click();
            if (c.confirm == false) {
                EXPECT_EQ(dialog.EdPin().text(), "9999");
            }
            if (d.isVisible()) {
                Button(d, "ButCancel").click();
            }
        });
        EXPECT_EQ(prompts.Exec(dialog), c.result);
        EXPECT_EQ(offered, c.offered);
        if (c.confirm) {
            ASSERT_EQ(prompts.questions.size(), 1u);
            EXPECT_EQ(prompts.questions[0].caption, "Disable PIN");
            EXPECT_EQ(prompts.questions[0].text, "The last attempt: a wrong PIN blocks the card");
        } else {
            EXPECT_TRUE(prompts.questions.empty());
        }
    }
}

TEST_F(PinDialogTest, ThePinNeverOutlivesTheDialog) {
    const std::vector<std::function<void(QDialog&)>> closes = {
        [](QDialog& d) { Button(d, "ButCancel").click(); },
        [](QDialog& d) { d.close(); },
        [](QDialog& d) { QTest::keyClick(&d, Qt::Key_Escape); },
        [](QDialog& d) { Button(d, "ButOk").click(); },
    };
    for (const auto& close : closes) {
        prompts.QueueExec([&](QDialog& d) {
            auto* pin = d.findChild<QLineEdit*>("EdPin");
            EXPECT_EQ(pin->text(), "") << "the box is empty every time the dialog opens";
            EXPECT_FALSE(Button(d, "ButOk").isEnabled());
            EXPECT_TRUE(pin->hasFocus());
            QTest::keyClicks(pin, "1234");
            close(d);
        });
        prompts.Exec(dialog);
        EXPECT_EQ(dialog.EdPin().text(), "");
    }
}

TEST_F(PinDialogTest, PinBoxHidesItsTextInASixteenPixelFixedFont) {
    const QLineEdit& pin = dialog.EdPin();
    EXPECT_EQ(pin.echoMode(), QLineEdit::Password);
    EXPECT_EQ(pin.font().pixelSize(), 16);
    EXPECT_TRUE(testing::AdvancesEvenly(pin.font()));
    EXPECT_EQ(pin.maxLength(), 32767); // no limit of its own
    EXPECT_EQ(dialog.windowTitle(), "Disable PIN");
    EXPECT_EQ(dialog.findChild<QGroupBox*>()->title(), "PIN");
}

TEST(PinDialogRulesTest, MessageComesTranslatedAndAFormatFromTheFileCannotHarm) {
    struct Case {
        std::string line;
        QString shown;
    };
    const std::vector<Case> cases = {
        {"Wrong PIN! - PIN count is now %d=PIN errato! Tentativi rimasti: %d",
         "PIN errato! Tentativi rimasti: 0"},
        {"Wrong PIN! - PIN count is now %d=%s %n %d%%", "%s %n 0%"},
        {"other=x", "Wrong PIN! - PIN count is now 0"},
    };
    for (const auto& c : cases) {
        LanguageTable table;
        table.load({";", c.line});
        ScriptedPrompts prompts;
        PinDialog dialog(table, prompts);
        // Without a card operation every PIN is refused.
        prompts.QueueExec([](QDialog& d) {
            QTest::keyClicks(d.findChild<QLineEdit*>("EdPin"), "1");
            Button(d, "ButOk").click();
            Button(d, "ButCancel").click();
        });
        EXPECT_EQ(prompts.Exec(dialog), QDialog::Rejected);
        EXPECT_EQ(prompts.errors, QStringList{c.shown});
    }
}

TEST(WriteDialogTest, DeleteStartsTickedAndKeepsTheLastChoice) {
    LanguageTable table;
    ScriptedPrompts prompts;
    WriteDialog dialog(table);
    EXPECT_TRUE(dialog.DeleteAll());

    prompts.QueueExec([](QDialog& d) {
        EXPECT_EQ(d.windowTitle(), "Write to SIM?");
        auto* box = d.findChild<QCheckBox*>("CBDelete");
        EXPECT_TRUE(box->isChecked());
        EXPECT_EQ(box->text(), "Delete SIM during write");
        box->click();
        Button(d, "ButOK").click();
    });
    EXPECT_EQ(prompts.Exec(dialog), QDialog::Accepted);
    EXPECT_FALSE(dialog.DeleteAll());

    prompts.QueueExec([](QDialog& d) {
        EXPECT_FALSE(d.findChild<QCheckBox*>("CBDelete")->isChecked());
        d.findChild<QCheckBox*>("CBDelete")->click();
        Button(d, "ButCancel").click();
    });
    EXPECT_EQ(prompts.Exec(dialog), QDialog::Rejected);
    // Even a cancelled dialog keeps the box as the user left it.
    EXPECT_TRUE(dialog.DeleteAll());

    prompts.QueueExec([](QDialog& d) { QTest::keyClick(&d, Qt::Key_Return); });
    EXPECT_EQ(prompts.Exec(dialog), QDialog::Accepted);
}

QStringList Rows(const QListWidget& list) {
    QStringList rows;
    for (int i = 0; i < list.count(); ++i) {
        rows.push_back(list.item(i)->text());
    }
    return rows;
}

TEST(WriteDialogTest, PreviewFollowsTheDeleteChoiceUntilTheProgramChanges) {
    LanguageTable table;
    ScriptedPrompts prompts;
    WriteDialog dialog(table);
    int reads = 0;
    std::optional<std::vector<SimItem>> card = std::vector<SimItem>(20);
    (*card)[4] = {u"Home", u"0123"};
    dialog.SetReadCard([&] {
        ++reads;
        return card;
    });
    dialog.SetProgram({"TL1=1"});

    prompts.QueueExec([&](QDialog& d) {
        EXPECT_FALSE(dialog.LabPreview().isVisible());
        Button(d, "ButPreview").click();
        EXPECT_TRUE(dialog.LabPreview().isVisible());
        EXPECT_EQ(dialog.LabPreview().text(),
                  "1 entry changes, 1 contact that is not part of the program will be deleted");
        EXPECT_EQ(Rows(dialog.ListPreview()),
                  (QStringList{"added: TL1=1 (record 1)", "deleted: Home=0123 (record 5)"}));
        dialog.CBDelete().click(); // keep mode: Home stays
        EXPECT_EQ(dialog.LabPreview().text(), "1 entry changes");
        EXPECT_EQ(Rows(dialog.ListPreview()), QStringList{"added: TL1=1 (record 1)"});
        dialog.CBDelete().click();
        Button(d, "ButCancel").click();
    });
    prompts.Exec(dialog);
    EXPECT_EQ(reads, 1); // the box needs no second read

    // Another program forgets the preview; a card that cannot be read shows none.
    dialog.SetProgram({"TL1=2"});
    card.reset();
    prompts.QueueExec([&](QDialog& d) {
        EXPECT_FALSE(dialog.LabPreview().isVisible());
        Button(d, "ButPreview").click();
        EXPECT_FALSE(dialog.LabPreview().isVisible());
        EXPECT_TRUE(Button(d, "ButPreview").isEnabled());
        d.reject();
    });
    prompts.Exec(dialog);
}

TEST(WriteDialogTest, PreviewFlagsNumbersADeviceCannotDial) {
    LanguageTable table;
    ScriptedPrompts prompts;
    WriteDialog dialog(table);
    dialog.SetReadCard([] { return std::optional(std::vector<SimItem>(20)); });
    // A program file from before the telephone fields refused letters opens as it is.
    dialog.SetProgram({"TL4=abc001234#*", "TL1=0039123", "RED=3"});
    prompts.QueueExec([&](QDialog& d) {
        Button(d, "ButPreview").click();
        const QStringList rows = Rows(dialog.ListPreview());
        ASSERT_FALSE(rows.isEmpty());
        EXPECT_EQ(rows.front(), "Not a telephone number: TL4=abc001234#*");
        EXPECT_EQ(rows.filter("Not a telephone number").size(), 1);
        d.reject();
    });
    prompts.Exec(dialog);
}

TEST(RestoreDialogTest, ListsTheBackupsAndRestoreWantsOneChosen) {
    const LanguageTable table = Italian();
    ScriptedPrompts prompts;
    RestoreDialog dialog(table);
    dialog.SetBackups({{"/b/new.simbackup", "8949000000000000017", 2000, 24},
                       {"/b/old.simbackup", std::nullopt, 1000, 0}});
    auto& list = dialog.ListBackups();
    ASSERT_EQ(list.topLevelItemCount(), 2);
    EXPECT_EQ(list.topLevelItem(0)->text(1), "8949000000000000017");
    EXPECT_EQ(list.topLevelItem(0)->text(2), "24");
    EXPECT_EQ(list.topLevelItem(1)->text(1), "sconosciuto");
    EXPECT_EQ(list.headerItem()->text(0), "Data");
    // The newest is chosen; a click chooses another; with none chosen, no restore.
    EXPECT_EQ(dialog.ChosenBackup(), std::filesystem::path("/b/new.simbackup"));
    list.setCurrentItem(list.topLevelItem(1));
    EXPECT_EQ(dialog.ChosenBackup(), std::filesystem::path("/b/old.simbackup"));
    EXPECT_TRUE(dialog.ButRestore().isEnabled());
    list.clearSelection();
    EXPECT_FALSE(dialog.ChosenBackup());
    EXPECT_FALSE(dialog.ButRestore().isEnabled());

    dialog.SetBackups({});
    EXPECT_EQ(list.topLevelItemCount(), 0);
    EXPECT_FALSE(dialog.ButRestore().isEnabled());
    EXPECT_EQ(dialog.findChild<QLabel*>("LabBackups")->text(), "There are no SIM backups yet.");
}

// A 28-byte EF ADN record (GSM 11.11 §10.5.1): the name in the one-byte form padded with FF to
// 14 bytes, BCD length 06, TON/NPI 81, the digits 0612345678 low nibble first, CCP and EXT1
// identifier FF.
RecordBytes AdnRecord(std::string_view name) {
    RecordBytes record(name.begin(), name.end());
    record.resize(14, 0xFF);
    for (const std::uint8_t byte : {0x06, 0x81, 0x60, 0x21, 0x43, 0x65, 0x87}) {
        record.push_back(byte);
    }
    record.resize(28, 0xFF);
    return record;
}

TEST(RestoreDialogTest, ShowsTheBackupsEntriesAndAfterPreviewWhatTheRestoreChanges) {
    const LanguageTable table;
    TestFolder folder;
    const BackupStore store(folder.path().toStdString());
    SimBackup backup;
    backup.iccid = "8949000000000000017";
    backup.saved = 1738328709;
    backup.adnRecordLength = 28;
    backup.adn = {AdnRecord("TL1"), RecordBytes(28, 0xFF), AdnRecord("Home")};
    ASSERT_TRUE(store.save(backup).path);

    RestoreDialog dialog(table);
    int reads = 0;
    dialog.SetReadCard([&]() -> std::optional<std::vector<SimItem>> {
        ++reads;
        return std::vector<SimItem>{{u"TL1", u"0612345678"}, {u"TL2", u"5"}, {}};
    });
    dialog.SetBackups(store.list().backups);
    const auto rows = [&] {
        QStringList texts;
        for (int i = 0; i < dialog.ListEntries().count(); ++i) {
            texts.push_back(dialog.ListEntries().item(i)->text());
        }
        return texts;
    };
    EXPECT_EQ(dialog.LabEntries().text(), "Entries in this backup:");
    EXPECT_EQ(rows(), QStringList({"TL1=0612345678 (record 1)", "Home=0612345678 (record 3)"}));

    dialog.ButPreview().click();
    EXPECT_EQ(reads, 1);
    EXPECT_EQ(dialog.LabEntries().text(), "2 entries change");
    EXPECT_EQ(rows(),
              QStringList({"removed: TL2=5 (record 2)", "added: Home=0612345678 (record 3)"}));

    // A backup that cannot be read says why, and lists nothing.
    dialog.SetBackups({{folder.file("gone.simbackup").toStdString(), std::nullopt, 1000, 3}});
    EXPECT_TRUE(dialog.LabEntries().text().startsWith("This SIM backup cannot be used:"));
    EXPECT_EQ(dialog.ListEntries().count(), 0);
}

TEST(DialogFrameTest, DialogsTranslateOnceOnTheirFirstShow) {
    const LanguageTable table = Italian();
    ScriptedPrompts prompts;
    PinDialog pin(table, prompts);
    WriteDialog write(table);
    EXPECT_EQ(pin.Tag, 0);
    EXPECT_EQ(pin.windowTitle(), "Disable PIN"); // not before the first show
    for (int show = 0; show < 2; ++show) {
        prompts.QueueExec([](QDialog& d) { d.reject(); });
        prompts.Exec(pin);
        prompts.QueueExec([](QDialog& d) { d.reject(); });
        prompts.Exec(write);
        EXPECT_EQ(pin.Tag, -1);
        EXPECT_EQ(pin.windowTitle(), "Disabilita PIN");
        // "Cancel=Annulla" and "Annulla=Twice": a second show must not translate again.
        EXPECT_EQ(Button(pin, "ButCancel").text(), "Annulla");
        EXPECT_EQ(write.windowTitle(), "Scrivere nella SIM?");
        EXPECT_EQ(write.CBDelete().text(), "Cancella la SIM durante la scrittura");
    }
}

TEST(DialogFrameTest, AboutBoxShowsNameAndVersionAndIsNeverTranslated) {
    AboutDialog about;
    ScriptedPrompts prompts;
    prompts.QueueExec([](QDialog& d) {
        EXPECT_EQ(d.windowTitle(), "Tarvik");
        QStringList texts;
        for (const QLabel* label : d.findChildren<QLabel*>()) {
            texts.push_back(label->text());
        }
        EXPECT_TRUE(texts.join(' ').contains("Tarvik")) << texts.join('|').toStdString();
        EXPECT_TRUE(texts.join(' ').contains("3.00"));
        auto& ok = Button(d, "ButOK");
        EXPECT_TRUE(ok.isDefault());
        QTest::keyClick(&d, Qt::Key_Return);
    });
    EXPECT_EQ(prompts.Exec(about), QDialog::Accepted);
}

TEST(DialogFrameTest, AboutBoxVersionLineFollowsTheLanguage) {
    LanguageTable table;
    table.load({";", "Tarvik version 3.00=Tarvik versione 3.00", "OK=Va bene"});
    AboutDialog about(&table);
    ScriptedPrompts prompts;
    prompts.QueueExec([](QDialog& d) {
        EXPECT_EQ(d.findChild<QLabel*>("LabVersion")->text(), "Tarvik versione 3.00");
        EXPECT_EQ(Button(d, "ButOK").text(), "OK"); // the rest stays as it is
        d.accept();
    });
    prompts.Exec(about);
}

TEST(DialogFrameTest, DialogsHaveAFixedBorderAndOpenCentred) {
    const LanguageTable table = Italian();
    ScriptedPrompts prompts;
    AboutDialog about;
    PasswordDialog login(table);
    TestFolder folder;
    const auto settings = folder.OpenSettings();
    NewPasswordDialog change(table, *settings, login);
    WriteDialog write(table);
    PinDialog pin(table, prompts);
    RestoreDialog restore(table);
    const std::vector<std::pair<QDialog*, QString>> dialogs = {
        {&about, "about"}, {&login, "login"}, {&change, "change-password"},
        {&write, "write"}, {&pin, "pin"},     {&restore, "restore"},
    };
    for (const auto& [dialog, name] : dialogs) {
        prompts.QueueExec([&, name = name](QDialog& d) {
            EXPECT_EQ(d.minimumSize(), d.maximumSize()) << name.toStdString();
            const QRect screen = d.screen()->geometry();
            EXPECT_EQ(d.x(), (screen.width() - d.width()) / 2) << name.toStdString();
            EXPECT_EQ(d.y(), (screen.height() - d.height()) / 2) << name.toStdString();
            testing::RenderWidget(d, "dialog-" + name);
            d.reject();
        });
        prompts.Exec(*dialog);
    }
}

// Program cards in a row with two readers: a line each, with its name and in large type
// what the user must do at that reader, in the window's language.
TEST(BatchDialogReadersTest, EachReaderHasALineWithItsOwnInstruction) {
    LanguageTable table;
    table.load({"Insert the next card=Inserire la prossima scheda",
                "Writing the card=Scrittura della scheda", "The reader is gone=Lettore perso"});
    ScriptedPrompts prompts;
    BatchDialog dialog(table, prompts);
    dialog.setReaders({"Reader A 00 00", "Reader B 00 00"});
    struct Step {
        std::size_t reader;
        ReaderPhase phase;
        const char* first;
        const char* second;
    };
    const Step steps[] = {
        {0, ReaderPhase::WaitingForCard, "Inserire la prossima scheda", ""},
        {1, ReaderPhase::Writing, "Inserire la prossima scheda", "Scrittura della scheda"},
        {0, ReaderPhase::Lost, "Lettore perso", "Scrittura della scheda"},
        {7, ReaderPhase::Writing, "Lettore perso", "Scrittura della scheda"}, // no such reader
    };
    for (const Step& step : steps) {
        dialog.showReaderPhase(step.reader, step.phase);
        EXPECT_EQ(dialog.readerState(0).text().toStdString(), step.first);
        EXPECT_EQ(dialog.readerState(1).text().toStdString(), step.second);
    }
    const auto* nameB = dialog.findChild<QLabel*>(QStringLiteral("LabReader1"));
    ASSERT_NE(nameB, nullptr);
    EXPECT_EQ(nameB->text(), QStringLiteral("Reader B 00 00"));
    EXPECT_GT(dialog.readerState(1).font().pointSizeF(), nameB->font().pointSizeF());
    ASSERT_EQ(dialog.listReaders().count(), 2);
    EXPECT_EQ(dialog.listReaders().item(1)->checkState(), Qt::Checked);
    dialog.show();
    testing::RenderWidget(dialog, "batch-dialog-two-readers");
    // Fewer readers: the lines follow.
    dialog.setReaders({"Reader B 00 00"});
    EXPECT_EQ(dialog.findChild<QLabel*>(QStringLiteral("LabReader1")), nullptr);
}

} // namespace
} // namespace tarvik
