// Read SIM and Write SIM through the main window's menu and buttons, against a virtual card
// through the real PC/SC stack. DISABLE CHV turns the PIN off for good (GSM 11.11, 9.2.10).

#include "editor/form/FormModel.h"
#include "editor/shell/app/Application.h"
#include "editor/shell/mainwindow/MainWindow.h"
#include "editor/shell/pages/FormPages.h"
#include "editor/shell/testing/GuiTestSupport.h"
#include "editor/shell/testing/ScriptedPrompts.h"
#include "editor/sim/SimAccess.h"
#include "tools/simcard/fixture/VirtualCard.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>
#include <cstdlib>
#include <gtest/gtest.h>

namespace tarvik {
namespace {

using testing::ScriptedPrompts;
using testing::TestFolder;

void Click(QDialog& dialog, const char* name) {
    auto* button = dialog.findChild<QPushButton*>(QString::fromLatin1(name));
    ASSERT_NE(button, nullptr) << name;
    button->click();
}

class MainWindowSimTest : public ::testing::Test {
protected:
    void SetUp() override {
        app.CreateWindows();
        prompts.QueueExec(
            [](QDialog& d) { QTest::keyClick(d.findChild<QLineEdit*>("EdPsw"), Qt::Key_Return); });
        window().show();
        ASSERT_TRUE(window().LoggedIn());
    }
    void TearDown() override {
        ::unsetenv("QUENLIB_READER");
        EXPECT_TRUE(prompts.AllAnswersUsed());
    }

    void StartCard(simcard::CardOptions options) {
        card = std::make_unique<simcard::VirtualCard>(std::move(options));
        ::setenv("QUENLIB_READER", card->readerName().c_str(), 1);
    }

    // Writes "TL1=555" to a card whose PIN is on, giving the PIN once, and reads it back.
    void WriteAndReadBackThroughThePinDialog() {
        memoSim().setPlainText("TL1=555");
        prompts.QueueExec([](QDialog& d) { Click(d, "ButOK"); }); // write dialog
        prompts.QueueExec([](QDialog& d) {                        // PIN dialog
            QTest::keyClicks(d.findChild<QLineEdit*>("EdPin"), "1234");
            Click(d, "ButOk");
        });
        window().pages().ButWrite().click();
        prompts.QueueOkCancel(true);
        window().pages().ButRead().click();

        EXPECT_EQ(prompts.execTitles, (QStringList{"Password", "Write to SIM?", "Disable PIN"}));
        EXPECT_TRUE(prompts.errors.isEmpty()) << prompts.errors.join('|').toStdString();
        EXPECT_EQ(memoSim().toPlainText(), "TL1=555");
    }

    MainWindow& window() { return *app.mainWindow(); }
    QAction& item(const char* name) { return *window().findChild<QAction*>(name); }
    QPlainTextEdit& memoSim() { return window().pages().MemoSim(); }

    TestFolder folder;
    std::unique_ptr<Settings> settings = folder.OpenSettings();
    ScriptedPrompts prompts;
    Application app{*settings, prompts, ResourceFolders({folder.path()})};
    std::unique_ptr<simcard::VirtualCard> card;
};

TEST_F(MainWindowSimTest, WriteThenReadGivesTheProgramBackWithTheWindowBusyMeanwhile) {
    simcard::CardOptions options;
    options.pin1Enabled = false;
    StartCard(options);
    memoSim().setPlainText("TL1=555\nRED=3");

    std::vector<bool> enabledDuringTransfer;
    prompts.QueueExec([](QDialog& d) { Click(d, "ButOK"); });
    item("WriteSIM1").trigger();
    auto* bar = window().statusBar()->findChild<QProgressBar*>("SimProgress");
    ASSERT_NE(bar, nullptr);
    QObject::connect(bar, &QProgressBar::valueChanged,
                     [&] { enabledDuringTransfer.push_back(window().isEnabled()); });

    prompts.QueueOkCancel(true);
    window().newProgram();
    ASSERT_EQ(memoSim().toPlainText(), "");

    prompts.QueueOkCancel(true);
    item("ReadSIM1").trigger();

    EXPECT_TRUE(prompts.errors.isEmpty()) << prompts.errors.join('|').toStdString();
    EXPECT_EQ(memoSim().toPlainText(), "TL1=555\nRED=3");
    EXPECT_TRUE(window().document().modified);
    EXPECT_EQ(enabledDuringTransfer, std::vector<bool>(250, false));
    EXPECT_TRUE(window().isEnabled());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(testing::ShownTitle(window()), "Tarvik3*");
    EXPECT_FALSE(bar->isVisible());
}

TEST_F(MainWindowSimTest, CardWithAPinAsksForItOnceAndClosingTheWindowDisconnects) {
    simcard::CardOptions options;
    options.pin1Enabled = true;
    StartCard(options);
    WriteAndReadBackThroughThePinDialog();
    EXPECT_TRUE(SimIsConnected());
}

TEST_F(MainWindowSimTest, UndoTakesBackAReadAndRedoBringsItAgain) {
    simcard::CardOptions options;
    options.pin1Enabled = false;
    StartCard(options);
    memoSim().setPlainText("TL1=555");
    prompts.QueueExec([](QDialog& d) { Click(d, "ButOK"); });
    item("WriteSIM1").trigger();
    memoSim().setPlainText("TL2=777");

    prompts.QueueOkCancel(true);
    item("ReadSIM1").trigger();
    ASSERT_EQ(memoSim().toPlainText(), "TL1=555");
    EXPECT_EQ(item("Undo1").text(), "&Undo Read SIM");

    item("Undo1").trigger();
    EXPECT_EQ(memoSim().toPlainText(), "TL2=777");
    EXPECT_EQ(window().form().fields().text(FormModel::fieldIndex("EDTl2")), "777");
    EXPECT_EQ(window().form().fields().text(FormModel::fieldIndex("EDTl1")), "");
    item("Redo1").trigger();
    EXPECT_EQ(memoSim().toPlainText(), "TL1=555");
    EXPECT_EQ(window().form().fields().text(FormModel::fieldIndex("EDTl1")), "555");
    EXPECT_TRUE(window().document().modified);
}

// A UICC that refuses class A0 (ETSI TS 102 221), its phonebook under DF Telecom, in the
// global phonebook or in the USIM's local one (3GPP TS 31.102 §4.4.2): Write SIM and Read
// SIM work as on a GSM SIM, and Device > Card information… says where the phonebook is.
TEST_F(MainWindowSimTest, UiccOfEachLayoutIsWrittenAndReadAndDescribed) {
    const struct {
        const char* layout;
        const char* place;
    } cases[] = {{"telecom", "DF Telecom 7F10/"},
                 {"global", "global phonebook 7F10/5F3A/"},
                 {"local", "USIM local phonebook ADF.USIM/5F3A/"}};
    for (const auto& c : cases) {
        simcard::CardOptions options;
        options.pin1Enabled = false;
        options.uicc = true;
        options.phonebook = c.layout;
        SimDisconnect();
        card.reset();
        StartCard(options);
        memoSim().setPlainText("TL1=555\nRED=3");
        prompts.QueueExec([](QDialog& d) { Click(d, "ButOK"); });
        item("WriteSIM1").trigger();
        prompts.QueueOkCancel(true);
        window().newProgram();
        prompts.QueueOkCancel(true);
        item("ReadSIM1").trigger();
        EXPECT_TRUE(prompts.errors.isEmpty()) << c.layout << prompts.errors.join('|').toStdString();
        EXPECT_EQ(memoSim().toPlainText(), "TL1=555\nRED=3") << c.layout;

        QStringList shown;
        prompts.QueueExec([&](QDialog& d) {
            for (auto* label : d.findChildren<QLabel*>()) {
                shown << label->text();
            }
            Click(d, "ButOK");
        });
        item("CardInfo1").trigger();
        EXPECT_TRUE(shown.contains("UICC only")) << shown.join('|').toStdString();
        EXPECT_TRUE(shown.filter(c.place).size() == 1) << shown.join('|').toStdString();
    }
}

// PIN1 of a UICC (key reference 01, ETSI TS 102 221 §9.5): the same PIN dialog as on a GSM
// SIM, and DISABLE VERIFICATION turns it off.
TEST_F(MainWindowSimTest, UiccWithAPinAsksForItAsAGsmSimDoes) {
    simcard::CardOptions options;
    options.pin1Enabled = true;
    options.uicc = true;
    StartCard(options);
    WriteAndReadBackThroughThePinDialog();
}

} // namespace
} // namespace tarvik
