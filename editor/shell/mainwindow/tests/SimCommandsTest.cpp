// Read SIM and Write SIM in a real window, offscreen, against a virtual card through the
// real PC/SC stack; scripted prompts answer the question, the write dialog and the PIN
// dialog. CHV1 behaves as GSM 11.11 says: three presentations, each wrong one counts down,
// none left blocks it (9.2.9 to 9.2.11), and DISABLE CHV turns it off (9.2.10).
#include "editor/shell/mainwindow/SimCommands.h"

#include "editor/form/DeviceModels.h"
#include "editor/form/FormModel.h"
#include "editor/shell/dialogs/TFormPin.h"
#include "editor/shell/dialogs/TFormWrite.h"
#include "editor/shell/testing/GuiTestSupport.h"
#include "editor/shell/testing/ScriptedPrompts.h"
#include "editor/sim/SimAccess.h"
#include "program/ProgramDocument.h"
#include "tools/simcard/core/CardImage.h"
#include "tools/simcard/fixture/VirtualCard.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QMainWindow>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>
#include <cstdlib>
#include <gtest/gtest.h>
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

class SimCommandsTest : public ::testing::Test {
protected:
    void SetUp() override {
        window.setWindowTitle("Tarvik3 - alarm.sim");
        window.resize(640, 240);
        doc.program.text().assign(kUserProgram);
        form.MemoSimExit();
        doc.Modified = false;
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
        commands.ButWriteClick();
        doc.program.text().assign(saved);
        form.MemoSimExit();
        doc.Modified = false;
        titles.clear();
        moments.clear();
    }

    std::string Field(const char* name) { return form.fields().valueText(FormModel::Field(name)); }

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
        EXPECT_EQ(window.windowTitle(), "Tarvik3 - alarm.sim");
        EXPECT_FALSE(commands.transferWindow().progressBar().isVisible());
    }

    void ExpectProgramAsTheUserHadIt() {
        EXPECT_EQ(doc.program.text().lines(), kUserProgram);
        EXPECT_EQ(Field("EDTl1"), "0123");
        EXPECT_FALSE(doc.Modified);
    }

    LanguageTable language;
    ProgramDocument doc{kDefaultModelIndex};
    FormModel form{doc, language};
    ScriptedPrompts prompts;
    QMainWindow window;
    TFormWrite formWrite{language};
    TFormPin formPin{language, prompts};
    SimCommands commands{{window, prompts, language, formWrite, formPin, form}};
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

    commands.ButReadClick();

    ASSERT_EQ(prompts.questions.size(), 1u);
    EXPECT_EQ(prompts.questions[0].caption, "Confirm");
    EXPECT_EQ(prompts.questions[0].text, "Read from SIM?");
    EXPECT_TRUE(prompts.errors.isEmpty());
    EXPECT_EQ(doc.program.text().lines(),
              (std::vector<std::string>{"TL1=555", "TL2=777", "RFT=24"}));
    EXPECT_EQ(Field("EDTl1"), "555");
    EXPECT_EQ(Field("EDTl2"), "777");
    EXPECT_TRUE(doc.Modified);
    // During the transfer: disabled, busy, and the bar following the caption's count.
    ASSERT_EQ(moments.size(), 250u);
    for (const Moment& moment : moments) {
        EXPECT_FALSE(moment.enabled);
        EXPECT_TRUE(moment.busyCursor);
        EXPECT_EQ(moment.title, QString("SIM %1 / 250").arg(moment.progress));
    }
    EXPECT_EQ(titles.back(), "Tarvik3 - alarm.sim");
    EXPECT_FALSE(closedDuringTransfer);
    EXPECT_TRUE(window.isVisible());
    ExpectWindowRestored();
}

TEST_F(SimCommandsTest, CancelledQuestionOrDialogTouchesNoCard) {
    StartCard();
    prompts.QueueOkCancel(false);
    commands.ButReadClick();
    prompts.QueueExec([](QDialog& dialog) { Click(dialog, "ButCancel"); });
    commands.ButWriteClick();

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
    form.MemoSimExit();
    doc.Modified = false;

    commands.ButWriteClick();

    // Keep mode rewrites what belongs to the program: TL records are keywords.
    EXPECT_EQ(CardRecordNames()[0], "RED");
    EXPECT_EQ(doc.program.text().lines(), std::vector<std::string>{"RED=3"});
    EXPECT_FALSE(doc.Modified);
    EXPECT_FALSE(formWrite.CBDelete().isChecked());
    ASSERT_EQ(moments.size(), 100u);
    EXPECT_FALSE(moments.front().enabled);
    ExpectWindowRestored();
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

    commands.ButReadClick();

    EXPECT_EQ(prompts.execTitles, QStringList{"Disable PIN"});
    EXPECT_FALSE(simcard::CardImage::load(card->imagePath()).chv1Enabled());
    EXPECT_TRUE(doc.program.text().empty()); // the card was read: it is empty
    EXPECT_TRUE(formPin.EdPin().text().isEmpty());
    // No PIN dialog the next time.
    prompts.QueueOkCancel(true);
    commands.ButReadClick();
    EXPECT_EQ(prompts.execTitles.size(), 1);
}

TEST_F(SimCommandsTest, BlockedCardShowsTheMessageAndNoDialog) {
    StartCard(simcard::CardOptions{});
    SimConnect();
    for (const char* wrong : {"1111", "2222", "3333"}) {
        SimDisablePin(wrong);
    }
    prompts.QueueOkCancel(true);
    commands.ButReadClick();
    EXPECT_EQ(prompts.errors, QStringList{"SIM is blocked, PIN count is zero"});
    EXPECT_TRUE(prompts.execTitles.isEmpty());
    ExpectProgramAsTheUserHadIt();
}

TEST_F(SimCommandsTest, NoCardShowsSimNotFoundForBothCommands) {
    StartCard();
    ::setenv("QUENLIB_READER", "No Such Reader 00 00", 1);
    prompts.QueueOkCancel(true);
    commands.ButReadClick();
    prompts.QueueExec(AcceptWrite);
    commands.ButWriteClick();
    EXPECT_EQ(prompts.errors, (QStringList{"SIM not found", "SIM not found"}));
    ExpectProgramAsTheUserHadIt();
    EXPECT_TRUE(titles.isEmpty());
}

TEST_F(SimCommandsTest, CardPulledOutDuringReadOrWriteLeavesTheEditorUntouched) {
    simcard::CardOptions options = PinOff();
    options.dropAfterCommands = 60;
    StartCard(options);

    prompts.QueueOkCancel(true);
    commands.ButReadClick();
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
    commands.ButWriteClick();
    ExpectProgramAsTheUserHadIt();
    EXPECT_TRUE(titles.contains("Write Error"));
    ExpectWindowRestored();
    EXPECT_TRUE(window.statusBar()->currentMessage().startsWith("Write Error: "))
        << window.statusBar()->currentMessage().toStdString();
}

TEST_F(SimCommandsTest, DisconnectClosesTheConnection) {
    StartCard();
    prompts.QueueOkCancel(true);
    commands.ButReadClick();
    EXPECT_TRUE(SimIsConnected());
    commands.Disconnect();
    EXPECT_FALSE(SimIsConnected());
}

} // namespace
} // namespace tarvik
