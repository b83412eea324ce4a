// Device > Program cards in a row, offscreen, with two virtual cards in turn in one reader
// of the real PC/SC stack.
#include "editor/shell/dialogs/BatchDialog.h"

#include "editor/shell/testing/GuiTestSupport.h"
#include "editor/shell/testing/ScriptedPrompts.h"
#include "editor/sim/SimAccess.h"
#include "program/DocumentFiles.h"
#include "program/ProgramDocument.h"
#include "tools/simcard/fixture/VirtualCard.h"

#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>
#include <cstdlib>
#include <gtest/gtest.h>

namespace tarvik {
namespace {

simcard::CardOptions Card(const std::string& iccid) {
    simcard::CardOptions options;
    options.pin1Enabled = false;
    options.iccid = iccid;
    return options;
}

TEST(BatchDialogTest, TwoCardsFillTheListAndStopEndsTheRun) {
    QTemporaryDir folder;
    simcard::VirtualCard card(Card("8949000000000000501"));
    SimDisconnect(); // the library takes the reader's name when it starts
    ::setenv("QUENLIB_READER", card.readerName().c_str(), 1);
    ProgramDocument doc{2};
    doc.program.text().assign({"TL1=0612345678", "RFT=1"});
    LanguageTable table;
    testing::ScriptedPrompts prompts;
    {
        BatchDialog dialog(table, prompts);
        dialog.setProgram(DocumentFileBytes(doc), doc.program.text().lines(), "alarm.sim");
        const std::filesystem::path base = folder.path().toStdString();
        dialog.setStores(base / "backups", base / "jobs.csv");
        dialog.show();
        dialog.butStart().click();
        EXPECT_TRUE(
            QTest::qWaitFor([&] { return dialog.listCards().topLevelItemCount() == 1; }, 20000));
        EXPECT_TRUE(QTest::qWaitFor(
            [&] { return dialog.readerState(0).text() == QStringLiteral("Take the card out"); },
            20000));
        card.insert(Card("8949000000000000502"));
        EXPECT_TRUE(
            QTest::qWaitFor([&] { return dialog.listCards().topLevelItemCount() == 2; }, 20000));
        testing::RenderWidget(dialog, "batch-dialog");
        EXPECT_FALSE(dialog.butStart().isEnabled());
        dialog.butStop().click();
        EXPECT_TRUE(QTest::qWaitFor([&] { return !dialog.running(); }, 20000));
        EXPECT_TRUE(dialog.butStart().isEnabled());
        for (int row = 0; row < 2; ++row) {
            const QTreeWidgetItem* item = dialog.listCards().topLevelItem(row);
            EXPECT_EQ(item->text(1).toStdString(), "894900000000000050" + std::to_string(row + 1));
            EXPECT_EQ(item->text(3), QStringLiteral("ok"));
        }
    }
    EXPECT_EQ(doc.program.text().lines(), (std::vector<std::string>{"TL1=0612345678", "RFT=1"}));
    EXPECT_TRUE(prompts.AllAnswersUsed());
    SimDisconnect();
    ::unsetenv("QUENLIB_READER");
}

} // namespace
} // namespace tarvik
