// Read SIM and Write SIM in a real window, offscreen, against a virtual card through the
// real PC/SC stack; scripted prompts answer the question, the write dialog and the PIN
// dialog. CHV1 behaves as GSM 11.11 says: three presentations, each wrong one counts down,
// none left blocks it (9.2.9 to 9.2.11), and DISABLE CHV turns it off (9.2.10).
#include "editor/shell/mainwindow/SimCommands.h"

#include "editor/form/DeviceModels.h"
#include "editor/form/FormModel.h"
#include "editor/shell/dialogs/PinDialog.h"
#include "editor/shell/dialogs/RestoreDialog.h"
#include "editor/shell/dialogs/WriteDialog.h"
#include "editor/shell/testing/GuiTestSupport.h"
#include "editor/shell/testing/ScriptedPrompts.h"
#include "editor/sim/SimAccess.h"
#include "program/ProgramDocument.h"
#include "tools/simcard/core/CardImage.h"
#include "tools/simcard/fixture/VirtualCard.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMainWindow>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>
#include <cstdlib>
#include <gtest/gtest.h>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace tarvik {
namespace {

using namespace std::chrono_literals;
using testing::ScriptedPrompts;

const std::vector<std::string> kUserProgram = {"TL1=0123", "RED=3"};

simcard::CardOptions PinOff(int records = 250) {
    simcard::CardOptions options;
    options.pin1Enabled = false;
    options.adnRecords = records;
    return options;
}

// Clicks the named button of a dialog, as a person would.
void Click(QDialog& dialog, const char* name) {
    auto* button = dialog.findChild<QPushButton*>(QString::fromLatin1(name));
    ASSERT_NE(button, nullptr) << name;
    button->click();
}

// The write dialog's OK.
void AcceptWrite(QDialog& dialog) {
    Click(dialog, "ButOK");
}

// What the window looked like at one moment of a transfer.
struct Moment {
    bool enabled;
    bool busyCursor;
    QString title;
    int progress;
};

// XDG_DATA_HOME names a folder of the test's own while it lives, so that each test finds
// only its own backups.
class DataHome {
public:
    DataHome() : old_(qgetenv("XDG_DATA_HOME")) {
        qputenv("XDG_DATA_HOME", folder_.path().toLocal8Bit());
    }
    ~DataHome() { qputenv("XDG_DATA_HOME", old_); }
    DataHome(const DataHome&) = delete;
    DataHome& operator=(const DataHome&) = delete;
    QString backups() const { return folder_.filePath(QStringLiteral("tarvik/backups")); }
    QString path() const { return folder_.path(); }

private:
    QTemporaryDir folder_;
    QByteArray old_;
};

int FilesIn(const QString& folder) {
    return static_cast<int>(QDir(folder).entryList(QDir::Files).size());
}

class SimCommandsTest : public ::testing::Test {
protected:
    void SetUp() override {
        window.setWindowTitle("Tarvik3 - alarm.sim");
        window.resize(640, 240);
        doc.program.text().assign(kUserProgram);
        form.leaveProgramMemo();
        doc.modified = false;
        QObject::connect(&window, &QWidget::windowTitleChanged,
                         [this](const QString& title) { titles.push_back(title); });
        // Each step of the progress bar records the window around it.
        QObject::connect(&commands.transferWindow().progressBar(), &QProgressBar::valueChanged,
                         [this](int value) {
                             const QCursor* cursor = QApplication::overrideCursor();
                             if (value == 125) {
                                 testing::RenderWidget(window, "sim-transfer-progress");
                                 // Closing waits for the end of the transfer.
                                 closedDuringTransfer = window.close();
                             }
                             moments.push_back({window.isEnabled(),
                                                cursor && cursor->shape() == Qt::WaitCursor,
                                                window.windowTitle(), value});
                         });
    }

    void TearDown() override {
        commands.Disconnect();
        ::unsetenv("QUENLIB_READER");
        EXPECT_TRUE(prompts.AllAnswersUsed());
    }

    void StartCard(simcard::CardOptions options = PinOff()) {
        card.reset();
        card = std::make_unique<simcard::VirtualCard>(std::move(options));
        ::setenv("QUENLIB_READER", card->readerName().c_str(), 1);
    }

    // Puts a program on the card with a write in delete mode, without the window.
    void PutOnCard(const std::vector<std::string>& lines) {
        prompts.QueueExec(AcceptWrite);
        const auto saved = doc.program.text().lines();
        doc.program.text().assign(lines);
        commands.writeProgramToSim();
        doc.program.text().assign(saved);
        form.leaveProgramMemo();
        doc.modified = false;
        titles.clear();
        moments.clear();
    }

    std::string fieldIndex(const char* name) {
        return form.fields().valueText(FormModel::fieldIndex(name));
    }

    std::vector<std::string> CardRecordNames() const {
        std::vector<std::string> names;
        const auto image = simcard::CardImage::load(card->imagePath());
        for (const auto& record : image.records({simcard::DfTelecom, simcard::EfAdn})) {
            std::string name;
            for (std::size_t i = 0; i < record.size() - 14 && record[i] != 0xFF; ++i) {
                name += static_cast<char>(record[i]);
            }
            names.push_back(name);
        }
        return names;
    }

    // The window is back as it was before the transfer.
    void ExpectWindowRestored() {
        EXPECT_TRUE(window.isEnabled());
        EXPECT_EQ(QApplication::overrideCursor(), nullptr);
        EXPECT_EQ(testing::ShownTitle(window), "Tarvik3 - alarm.sim");
        EXPECT_FALSE(commands.transferWindow().progressBar().isVisible());
    }

    void ExpectProgramAsTheUserHadIt() {
        EXPECT_EQ(doc.program.text().lines(), kUserProgram);
        EXPECT_EQ(fieldIndex("EDTl1"), "0123");
        EXPECT_FALSE(doc.modified);
    }

    // Puts records (by 0-based index) on the card as bytes, with the card out of the reader.
    void Plant(const std::map<int, simcard::Bytes>& records) {
        card->remove();
        auto image = simcard::CardImage::load(card->imagePath());
        for (const auto& [index, bytes] : records) {
            image.find({simcard::DfTelecom, simcard::EfAdn})
                ->records.at(static_cast<std::size_t>(index)) = bytes;
        }
        image.save(card->imagePath());
        card->insert();
    }

    DataHome dataHome;
    LanguageTable language;
    ProgramDocument doc{kDefaultModelIndex};
    FormModel form{doc, language};
    ScriptedPrompts prompts;
    QMainWindow window;
    WriteDialog formWrite{language};
    PinDialog formPin{language, prompts};
    RestoreDialog formRestore{language};
    SimCommands commands{{window, prompts, language, formWrite, formPin, formRestore, form}};
    std::unique_ptr<simcard::VirtualCard> card;
    QStringList titles;
    std::vector<Moment> moments;
    bool closedDuringTransfer = false;
};

TEST_F(SimCommandsTest, ReadReplacesTheProgramAndDecodesTheForm) {
    StartCard();
    PutOnCard({"TL1=555", "TL2=777", "RFT=24"});
    window.show();
    prompts.QueueOkCancel(true);

    commands.readSimIntoProgram();

    ASSERT_EQ(prompts.questions.size(), 1u);
    EXPECT_EQ(prompts.questions[0].caption, "Confirm");
    EXPECT_EQ(prompts.questions[0].text, "Read from SIM?");
    EXPECT_TRUE(prompts.errors.isEmpty());
    EXPECT_EQ(doc.program.text().lines(),
              (std::vector<std::string>{"TL1=555", "TL2=777", "RFT=24"}));
    EXPECT_EQ(fieldIndex("EDTl1"), "555");
    EXPECT_EQ(fieldIndex("EDTl2"), "777");
    EXPECT_TRUE(doc.modified);
    // During the transfer: disabled, busy, and the bar following the caption's count.
    ASSERT_EQ(moments.size(), 250u);
    for (const Moment& moment : moments) {
        EXPECT_FALSE(moment.enabled);
        EXPECT_TRUE(moment.busyCursor);
        EXPECT_EQ(moment.title, QString("SIM %1 / 250").arg(moment.progress));
    }
    EXPECT_EQ(titles.back(), "Tarvik3 - alarm.sim");
    EXPECT_EQ(window.statusBar()->currentMessage(), "Read from the SIM: 3 program lines");
    EXPECT_FALSE(closedDuringTransfer);
    EXPECT_TRUE(window.isVisible());
    ExpectWindowRestored();
}

TEST_F(SimCommandsTest, CancelledQuestionOrDialogTouchesNoCard) {
    StartCard();
    prompts.QueueOkCancel(false);
    commands.readSimIntoProgram();
    prompts.QueueExec([](QDialog& dialog) { Click(dialog, "ButCancel"); });
    commands.writeProgramToSim();

    EXPECT_FALSE(SimIsConnected()); // not even connected
    ExpectProgramAsTheUserHadIt();
    EXPECT_TRUE(titles.isEmpty());
}

TEST_F(SimCommandsTest, WriteTakesTheDialogsChoiceAndLeavesTheEditorAsItWas) {
    StartCard(PinOff(100));
    PutOnCard({"TL1=1", "TL2=2", "TL3=3"});
    // Keep mode: untick "Delete SIM during write"; the choice stays for the next write.
    prompts.QueueExec([](QDialog& dialog) {
        auto* deleteAll = dialog.findChild<QCheckBox*>("CBDelete");
        EXPECT_TRUE(deleteAll->isChecked());
        deleteAll->click();
        AcceptWrite(dialog);
    });
    doc.program.text().assign({"RED=3"});
    form.leaveProgramMemo();
    doc.modified = false;

    commands.writeProgramToSim();

    // Keep mode rewrites what belongs to the program: TL records are keywords.
    EXPECT_EQ(CardRecordNames()[0], "RED");
    EXPECT_EQ(doc.program.text().lines(), std::vector<std::string>{"RED=3"});
    EXPECT_FALSE(doc.modified);
    EXPECT_FALSE(formWrite.CBDelete().isChecked());
    // The records read, then the three written: RED over TL1, TL2 and TL3 blanked.
    ASSERT_EQ(moments.size(), 103u);
    for (const Moment& moment : moments) {
        EXPECT_FALSE(moment.enabled);
    }
    ExpectWindowRestored();
    // The status bar says what was done, and keeps saying it when a status tip has come
    // and gone over it.
    const QString written = "Written to the SIM: 3 records changed; backup saved";
    EXPECT_EQ(window.statusBar()->currentMessage(), written);
    for (const QString& tip : {QStringLiteral("Exit application"), QString()}) {
        QStatusTipEvent event(tip);
        QApplication::sendEvent(&window, &event);
    }
    EXPECT_EQ(window.statusBar()->currentMessage(), written);
    // The next command starts with an empty bar.
    prompts.QueueOkCancel(false);
    commands.readSimIntoProgram();
    EXPECT_EQ(window.statusBar()->currentMessage(), "");
}

TEST_F(SimCommandsTest, WrongPinShowsTheCountAndKeepsTheDialogThenTheRightOneReads) {
    StartCard(simcard::CardOptions{}); // CHV1 enabled, code 1234, three presentations
    prompts.QueueOkCancel(true);
    prompts.QueueExec([this](QDialog& dialog) {
        auto* pin = dialog.findChild<QLineEdit*>("EdPin");
        QTest::keyClicks(pin, "0000");
        Click(dialog, "ButOk");
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_EQ(prompts.errors, QStringList{"Wrong PIN! - PIN count is now 2"});
        pin->clear();
        QTest::keyClicks(pin, "1234");
        Click(dialog, "ButOk");
    });

    commands.readSimIntoProgram();

    EXPECT_EQ(prompts.execTitles, QStringList{"Disable PIN"});
    EXPECT_FALSE(simcard::CardImage::load(card->imagePath()).chv1Enabled());
    EXPECT_TRUE(doc.program.text().empty()); // the card was read: it is empty
    EXPECT_TRUE(formPin.EdPin().text().isEmpty());
    // No PIN dialog the next time.
    prompts.QueueOkCancel(true);
    commands.readSimIntoProgram();
    EXPECT_EQ(prompts.execTitles.size(), 1);
}

// GSM 11.11 §9.2.10 (DISABLE CHV) and §11.1: a wrong CHV1 decrements the card's counter,
// the right one resets it to three; the dialog reads the counter before the user types.
TEST_F(SimCommandsTest, PinDialogTellsTheAttemptsTheCardAllows) {
    const struct {
        int spent;         // wrong presentations before the dialog opens
        QStringList shown; // the attempts line at each OK
        int wrongFirst;    // wrong PINs offered in the dialog before the right one
    } cases[] = {
        {0, {"3 attempts left", "2 attempts left"}, 1},
        {1, {"2 attempts left", "1 attempt left"}, 1},
        {2, {"1 attempt left"}, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.spent);
        commands.Disconnect();
        StartCard(simcard::CardOptions{});
        SimConnect();
        for (int i = 0; i < c.spent; ++i) {
            SimDisablePin("0000");
        }
        prompts.execTitles.clear();
        prompts.errors.clear();
        prompts.questions.clear();
        prompts.QueueOkCancel(true); // "Read from SIM?"
        const bool lastAttempt = c.shown.back() == "1 attempt left";
        if (lastAttempt) {
            prompts.QueueOkCancel(true); // "The last attempt: ..."
        }
        QStringList seen;
        prompts.QueueExec([&](QDialog&) {
            for (int i = 0; i <= c.wrongFirst; ++i) {
                seen.push_back(formPin.LabAttempts().text());
                QTest::keyClicks(&formPin.EdPin(), i < c.wrongFirst ? "0000" : "1234");
                QTest::keyClick(&formPin.EdPin(), Qt::Key_Return);
            }
        });

        commands.readSimIntoProgram();

        EXPECT_EQ(seen, c.shown);
        EXPECT_EQ(prompts.execTitles, QStringList{"Disable PIN"});
        EXPECT_EQ(prompts.errors.size(), c.wrongFirst);
        EXPECT_EQ(prompts.questions.size(), lastAttempt ? 2u : 1u);
        EXPECT_FALSE(simcard::CardImage::load(card->imagePath()).chv1Enabled());
    }
}

TEST_F(SimCommandsTest, BlockedCardShowsTheMessageAndNoDialog) {
    StartCard(simcard::CardOptions{});
    SimConnect();
    for (const char* wrong : {"1111", "2222", "3333"}) {
        SimDisablePin(wrong);
    }
    prompts.QueueOkCancel(true);
    commands.readSimIntoProgram();
    EXPECT_EQ(prompts.errors, QStringList{"SIM is blocked, PIN count is zero"});
    EXPECT_TRUE(prompts.execTitles.isEmpty());
    ExpectProgramAsTheUserHadIt();
}

TEST_F(SimCommandsTest, NoCardShowsSimNotFoundForBothCommands) {
    StartCard();
    ::setenv("QUENLIB_READER", "No Such Reader 00 00", 1);
    prompts.QueueOkCancel(true);
    commands.readSimIntoProgram();
    prompts.QueueExec(AcceptWrite);
    commands.writeProgramToSim();
    const QString notFound =
        "SIM not found\nThis card reader is not connected: No Such Reader 00 00";
    EXPECT_EQ(prompts.errors, (QStringList{notFound, notFound}));
    // The reader is there, but empty.
    ::setenv("QUENLIB_READER", card->readerName().c_str(), 1);
    card->remove();
    prompts.errors.clear();
    prompts.QueueOkCancel(true);
    commands.readSimIntoProgram();
    EXPECT_EQ(prompts.errors, QStringList{"SIM not found\nThere is no SIM card in the reader"});
    ExpectProgramAsTheUserHadIt();
    EXPECT_TRUE(titles.isEmpty());
}

TEST_F(SimCommandsTest, CardPulledOutDuringReadOrWriteLeavesTheEditorUntouched) {
    simcard::CardOptions options = PinOff();
    options.dropAfterCommands = 60;
    StartCard(options);

    prompts.QueueOkCancel(true);
    commands.readSimIntoProgram();
    ExpectProgramAsTheUserHadIt();
    EXPECT_TRUE(titles.contains("Read Error"));
    EXPECT_EQ(prompts.beeps, 1);
    EXPECT_EQ(prompts.pauses, std::vector<std::chrono::milliseconds>{2000ms});
    ExpectWindowRestored();
    // The reason stays in the status bar once the caption is back.
    EXPECT_TRUE(window.statusBar()->currentMessage().startsWith("Read Error: record "))
        << window.statusBar()->currentMessage().toStdString();

    card->insert();
    titles.clear();
    prompts.QueueExec(AcceptWrite);
    commands.writeProgramToSim();
    ExpectProgramAsTheUserHadIt();
    EXPECT_TRUE(titles.contains("Write Error"));
    ExpectWindowRestored();
    EXPECT_TRUE(window.statusBar()->currentMessage().startsWith("Write Error: "))
        << window.statusBar()->currentMessage().toStdString();
}

// GSM 11.11 10.5.1: "Home" in the alpha field, number 0123 (length 03, TON/NPI 81).
simcard::Bytes HomeRecord() {
    simcard::Bytes record = {'H', 'o', 'm', 'e'};
    record.resize(14, 0xFF);
    for (const std::uint8_t byte : {0x03, 0x81, 0x10, 0x32}) {
        record.push_back(byte);
    }
    record.resize(28, 0xFF);
    return record;
}

TEST_F(SimCommandsTest, PreviewShowsWhatTheWriteChangesAndThePinIsAskedOnce) {
    StartCard(simcard::CardOptions{}); // CHV1 enabled, code 1234
    Plant({{5, HomeRecord()}});
    QStringList summaries;
    std::vector<QStringList> lists;
    const auto look = [&](QDialog& dialog) {
        summaries.push_back(dialog.findChild<QLabel*>("LabPreview")->text());
        QStringList rows;
        auto* list = dialog.findChild<QListWidget*>("ListPreview");
        for (int i = 0; i < list->count(); ++i) {
            rows.push_back(list->item(i)->text());
        }
        lists.push_back(rows);
    };
    prompts.QueueExec([&](QDialog& dialog) {
        Click(dialog, "ButPreview"); // asks for the PIN: the dialog queued next
        look(dialog);
        testing::RenderWidget(dialog, "write-preview");
        dialog.findChild<QCheckBox*>("CBDelete")->click(); // keep mode
        look(dialog);
        dialog.findChild<QCheckBox*>("CBDelete")->click();
        AcceptWrite(dialog);
    });
    prompts.QueueExec([](QDialog& dialog) {
        QTest::keyClicks(dialog.findChild<QLineEdit*>("EdPin"), "1234");
        Click(dialog, "ButOk");
    });

    commands.writeProgramToSim();

    EXPECT_EQ(prompts.execTitles, (QStringList{"Write to SIM?", "Disable PIN"}));
    EXPECT_EQ(summaries, (QStringList{"2 entries change, 1 contact that is not part of the "
                                      "program will be deleted",
                                      "2 entries change"}));
    EXPECT_EQ(lists[0], (QStringList{"added: TL1=0123 (record 1)", "added: RED=3 (record 2)",
                                     "deleted: Home=0123 (record 6)"}));
    EXPECT_EQ(lists[1], (QStringList{"added: TL1=0123 (record 1)", "added: RED=3 (record 2)"}));
    // The write after the preview: delete mode, Home gone.
    EXPECT_EQ(CardRecordNames()[0], "TL1");
    EXPECT_EQ(CardRecordNames()[5], "");
    EXPECT_EQ(FilesIn(dataHome.backups()), 1);
    ExpectProgramAsTheUserHadIt();
    ExpectWindowRestored();
}

TEST_F(SimCommandsTest, ABackupThatCannotBeSavedStopsTheWriteWithAnErrorBox) {
    StartCard(PinOff(100));
    Plant({{5, HomeRecord()}});
    // A file stands where the data folder's "tarvik" should be.
    QFile blocking(QDir(dataHome.path()).filePath(QStringLiteral("tarvik")));
    ASSERT_TRUE(blocking.open(QIODevice::WriteOnly));
    blocking.close();
    const auto before = simcard::CardImage::load(card->imagePath());
    prompts.QueueExec(AcceptWrite);

    commands.writeProgramToSim();

    ASSERT_EQ(prompts.errors.size(), 1);
    EXPECT_TRUE(
        prompts.errors[0].startsWith("The SIM backup cannot be saved, so nothing was written:\n"))
        << prompts.errors[0].toStdString();
    EXPECT_EQ(simcard::CardImage::load(card->imagePath()), before);
    ExpectWindowRestored();
}

TEST_F(SimCommandsTest, RestoreFromTheMenuPutsTheCardBackAndLeavesTheProgram) {
    simcard::CardOptions options = PinOff(100);
    options.iccid = "8939000000000000001";
    StartCard(options);
    Plant({{5, HomeRecord()}});
    const auto before = simcard::CardImage::load(card->imagePath());
    PutOnCard({"TL1=555", "TL2=777"}); // backs the card up first

    prompts.QueueExec([](QDialog& dialog) {
        auto* list = dialog.findChild<QTreeWidget*>("ListBackups");
        ASSERT_EQ(list->topLevelItemCount(), 1);
        EXPECT_EQ(list->topLevelItem(0)->text(1), "8939000000000000001");
        EXPECT_EQ(list->topLevelItem(0)->text(2), "1");
        testing::RenderWidget(dialog, "restore-sim");
        Click(dialog, "ButRestore");
    });
    commands.restoreSim();

    EXPECT_TRUE(prompts.errors.isEmpty()) << prompts.errors.join("; ").toStdString();
    EXPECT_EQ(simcard::CardImage::load(card->imagePath()), before);
    EXPECT_EQ(window.statusBar()->currentMessage(), "The SIM was restored from the backup");
    EXPECT_EQ(FilesIn(dataHome.backups()), 2); // the card before the restore, too
    ExpectProgramAsTheUserHadIt();
    ExpectWindowRestored();

    // Another card: the restore asks first, and Cancel leaves the card alone.
    commands.Disconnect();
    options.iccid = "8939000000000000002";
    StartCard(options);
    const auto other = simcard::CardImage::load(card->imagePath());
    prompts.QueueExec([](QDialog& dialog) { Click(dialog, "ButRestore"); });
    prompts.QueueOkCancel(false);
    commands.restoreSim();
    ASSERT_EQ(prompts.questions.size(), 1u);
    EXPECT_TRUE(prompts.questions[0].text.startsWith(
        "This SIM backup was taken of another SIM card. Restore it all the same?"));
    EXPECT_EQ(simcard::CardImage::load(card->imagePath()), other);
}

TEST_F(SimCommandsTest, RestoreListsTheBackupThenPreviewsItOverTheCardAskingThePinOnce) {
    simcard::CardOptions options = PinOff(100);
    options.iccid = "8939000000000000003";
    StartCard(options);
    Plant({{5, HomeRecord()}});
    PutOnCard({"TL1=555"}); // the backup holds Home alone
    // The same card, blanked, with its PIN on (code 1234).
    commands.Disconnect();
    options.pin1Enabled = true;
    StartCard(options);
    prompts.execTitles.clear();

    QStringList before;
    QStringList after;
    QString summary;
    const auto rows = [](QDialog& dialog) {
        QStringList texts;
        auto* list = dialog.findChild<QListWidget*>("ListEntries");
        for (int i = 0; i < list->count(); ++i) {
            texts.push_back(list->item(i)->text());
        }
        return texts;
    };
    prompts.QueueExec([&](QDialog& dialog) {
        before = rows(dialog);
        Click(dialog, "ButPreview"); // asks for the PIN: the dialog queued next
        summary = dialog.findChild<QLabel*>("LabEntries")->text();
        after = rows(dialog);
        Click(dialog, "ButRestore");
    });
    prompts.QueueExec([](QDialog& dialog) {
        QTest::keyClicks(dialog.findChild<QLineEdit*>("EdPin"), "1234");
        Click(dialog, "ButOk");
    });
    commands.restoreSim();

    EXPECT_EQ(prompts.execTitles, (QStringList{"Restore SIM", "Disable PIN"}));
    EXPECT_EQ(before, QStringList{"Home=0123 (record 6)"});
    EXPECT_EQ(summary, "1 entry changes");
    EXPECT_EQ(after, QStringList{"added: Home=0123 (record 6)"});
    EXPECT_TRUE(prompts.errors.isEmpty()) << prompts.errors.join("; ").toStdString();
    EXPECT_EQ(CardRecordNames()[5], "Home");
    EXPECT_EQ(window.statusBar()->currentMessage(), "The SIM was restored from the backup");
    ExpectWindowRestored();
}

TEST_F(SimCommandsTest, ReadLeavesOutWhatTheProgramCannotHoldAndSaysHowMany) {
    StartCard(PinOff(20));
    // A contact in Greek letters (UCS2 form 80, GSM 11.11 Annex B), and TL1.
    simcard::Bytes greek = {0x80, 0x03, 0x99, 0x03, 0xC9};
    greek.resize(14, 0xFF);
    for (const std::uint8_t byte : {0x02, 0x81, 0x33}) {
        greek.push_back(byte);
    }
    greek.resize(28, 0xFF);
    simcard::Bytes tl1 = {'T', 'L', '1'};
    tl1.resize(14, 0xFF);
    for (const std::uint8_t byte : {0x02, 0x81, 0xF5}) {
        tl1.push_back(byte);
    }
    tl1.resize(28, 0xFF);
    Plant({{0, greek}, {1, tl1}});
    prompts.QueueOkCancel(true);

    commands.readSimIntoProgram();

    EXPECT_EQ(doc.program.text().lines(), std::vector<std::string>{"TL1=5"});
    EXPECT_EQ(window.statusBar()->currentMessage(),
              "Read from the SIM: 1 program line; "
              "1 SIM records that the program text cannot hold were left out");
    EXPECT_TRUE(prompts.errors.isEmpty());
}

TEST_F(SimCommandsTest, SitesFileBrowseStartsInTheFolderLastUsed) {
    testing::TestFolder folder;
    QDir(folder.path()).mkdir("sites");
    const auto settings = folder.OpenSettings();
    settings->WriteText("LastSitesFolder", folder.path());
    SimCommands withSettings{
        {window, prompts, language, formWrite, formPin, formRestore, form, settings.get()}};
    for (const QString& chosen : {folder.file("sites/north.csv"), folder.file("sites/south.csv")}) {
        prompts.QueueOpenSitesFile(chosen);
        prompts.QueueExec([&](QDialog& dialog) {
            Click(dialog, "ButSites");
            EXPECT_EQ(dialog.findChild<QLineEdit*>("EdSites")->text(), chosen);
            dialog.reject();
        });
        withSettings.writeBatch();
    }
    // The sites file dialog (filters "*.csv" and "*.*") starts where the last one was found.
    EXPECT_EQ(prompts.sitesFolders, (QStringList{folder.path(), folder.file("sites")}));
}

TEST_F(SimCommandsTest, DisconnectClosesTheConnection) {
    StartCard();
    prompts.QueueOkCancel(true);
    commands.readSimIntoProgram();
    EXPECT_TRUE(SimIsConnected());
    commands.Disconnect();
    EXPECT_FALSE(SimIsConnected());
}

} // namespace
} // namespace tarvik
