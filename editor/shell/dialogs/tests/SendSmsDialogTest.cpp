// The Send by SMS dialog against the virtual modem on a pseudo-terminal: the modem runs on a
// worker thread while the dialog goes on handling events.

#include "editor/shell/dialogs/SendSmsDialog.h"

#include "editor/shell/testing/GuiTestSupport.h"
#include "tools/gsmmodem/fixture/VirtualModem.h"

#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>
#include <chrono>
#include <functional>
#include <gtest/gtest.h>

namespace tarvik {
namespace {

using testing::TestFolder;

const std::vector<std::u16string> kMessages = {u";TL1=1;", u"TL2=2;"};

// Runs the event loop until `done` holds: at once when it does, after 20 s at the most, which
// a machine loaded by a parallel build still meets.
bool Until(const std::function<bool()>& done) {
    return QTest::qWaitFor(done, 20000);
}

QStringList States(const SendSmsDialog& dialog) {
    QStringList states;
    for (int i = 0; i < dialog.ListMessages().topLevelItemCount(); ++i) {
        states.push_back(dialog.ListMessages().topLevelItem(i)->text(2));
    }
    return states;
}

class SendSmsDialogTest : public ::testing::Test {
protected:
    void Open(gsmmodem::VirtualModem& modem) {
        // Every step ends as soon as the modem answers; the time only bounds a modem that
        // never does, and a loaded machine may need much of it.
        dialog.timeouts = {std::chrono::seconds(20), std::chrono::seconds(20),
                           std::chrono::seconds(20)};
        dialog.replyWait = std::chrono::seconds(20);
        dialog.SetProgram(kMessages, QStringLiteral("/programs/a.sim"), {modem.port()});
        dialog.show();
        dialog.EDNumber().setText(QStringLiteral("+393331234567"));
    }

    TestFolder folder;
    std::unique_ptr<Settings> settings = folder.OpenSettings();
    LanguageTable table;
    SendSmsDialog dialog{table, *settings};
};

TEST_F(SendSmsDialogTest, SendsEveryMessageAndShowsTheReplies) {
    gsmmodem::VirtualModem modem({"--reply", "OK"});
    Open(modem);
    dialog.ButSend().click();
    EXPECT_TRUE(dialog.Sending());
    EXPECT_FALSE(dialog.ButSend().isEnabled());
    ASSERT_TRUE(Until([&] { return !dialog.Sending(); }));
    EXPECT_EQ(States(dialog), (QStringList{"sent (1)", "sent (2)"}));
    EXPECT_EQ(dialog.MemoReplies().toPlainText(),
              "+393331234567 (2025-01-31 13:05:09): OK\n+393331234567 (2025-01-31 13:05:09): OK");
    EXPECT_EQ(dialog.LabStatus().text(), "All messages were sent");
    ASSERT_EQ(modem.messages().size(), 2u);
    EXPECT_EQ(modem.messages()[1].text, "TL2=2;");
    testing::RenderWidget(dialog, QStringLiteral("dialog-send-sms"));

    // The number is remembered for the program file.
    dialog.SetProgram(kMessages, QStringLiteral("/programs/a.sim"), {modem.port()});
    EXPECT_EQ(dialog.EDNumber().text(), "+393331234567");
    dialog.SetProgram(kMessages, QStringLiteral("/programs/b.sim"), {modem.port()});
    EXPECT_EQ(dialog.EDNumber().text(), "");
}

TEST_F(SendSmsDialogTest, CancelStopsAfterTheMessageInHand) {
    gsmmodem::VirtualModem modem({"--delay", "100", "--reply", "OK"});
    Open(modem);
    dialog.ButSend().click();
    ASSERT_TRUE(Until([&] { return States(dialog)[0] == "sending"; }));
    dialog.ButCancel().click();
    EXPECT_TRUE(dialog.isVisible()); // it closes only once the modem is done
    ASSERT_TRUE(Until([&] { return !dialog.Sending(); }));
    EXPECT_EQ(States(dialog), (QStringList{"sent (1)", "waiting"}));
    EXPECT_EQ(dialog.LabStatus().text(), "Sending stopped");
    EXPECT_EQ(modem.messages().size(), 1u);

    // Send goes on from the first message not sent.
    dialog.ButSend().click();
    ASSERT_TRUE(Until([&] { return !dialog.Sending(); }));
    EXPECT_EQ(States(dialog), (QStringList{"sent (1)", "sent (2)"}));
    EXPECT_EQ(modem.messages().size(), 2u);
    dialog.ButCancel().click();
    EXPECT_FALSE(dialog.isVisible());
}

TEST_F(SendSmsDialogTest, ShowsWhyTheModemFailed) {
    gsmmodem::VirtualModem modem({"--fail", "2:330"});
    Open(modem);
    dialog.ButSend().click();
    ASSERT_TRUE(Until([&] { return !dialog.Sending(); }));
    EXPECT_EQ(States(dialog),
              (QStringList{"sent (1)", "failed (+CMS ERROR: 330 (SMSC address unknown))"}));
    EXPECT_EQ(dialog.LabStatus().text(),
              "The modem failed: +CMS ERROR: 330 (SMSC address unknown)");
    EXPECT_TRUE(dialog.ButSend().isEnabled());
}

} // namespace
} // namespace tarvik
