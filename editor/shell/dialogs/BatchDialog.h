#pragma once

#include "editor/shell/dialogs/ShellDialog.h"
#include "editor/sim/MultiReaderBatch.h"

#include <QThread>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QCheckBox;
class QGridLayout;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTreeWidget;

namespace tarvik {

class Prompts;

// Device > Program cards in a row: the editor's program (with a sites file, one program a
// site) written to card after card, on every reader ticked at once. The run goes on
// threads of its own, which sleep in the card service while they wait for cards; the
// dialog shows a line for each reader with what the user must do there in large type, and
// a line for each card as it ends. Stop ends the run once the cards in hand are done. The
// editor's program is only read.
class BatchDialog : public ShellDialog {
public:
    BatchDialog(const LanguageTable& table, Prompts& prompts);
    ~BatchDialog() override;

    // The program: the editor's document as its file holds it, its lines, and its name.
    void setProgram(std::string programFile, std::vector<std::string> lines, std::string name);
    // The folder for the backups; the job log is the default one unless set.
    void setStores(std::filesystem::path backups, std::filesystem::path jobLog);
    // Where "Browse..." gets a sites file from; nothing when the user cancelled.
    void setChooseSitesFile(std::function<std::optional<QString>()> choose);
    // Told of each card as it ends; may be left unset.
    void setCardEnded(std::function<void(const CardJob&)> cardEnded);
    // The readers offered, each ticked; by default those the card service lists (only the
    // one the card library was told to use, when it was told one).
    void setReaders(const std::vector<std::string>& readers);
    // Shows the reader's phase on its line.
    void showReaderPhase(std::size_t reader, ReaderPhase phase);

    QLineEdit& edSites() const { return *edSites_; }
    QCheckBox& cbDelete() const { return *cbDelete_; }
    QLineEdit& edPin() const { return *edPin_; }
    QListWidget& listReaders() const { return *listReaders_; }
    QPushButton& butStart() const { return *butStart_; }
    QPushButton& butStop() const { return *butStop_; }
    QLabel& labState() const { return *labState_; }
    // The large instruction on the line of the run's reader-th reader.
    QLabel& readerState(std::size_t reader) const { return *readerStates_.at(reader); }
    QTreeWidget& listCards() const { return *listCards_; }
    bool running() const { return thread_ != nullptr; }

protected:
    void reject() override;

private:
    class RunThread;
    friend class RunThread;

    void start();
    void stop();
    void showReaderLines(const std::vector<std::string>& readers);
    void addCard(std::size_t reader, const CardJob& job);
    void showSummary(const BatchSummary& summary);
    bool askRewrite(const std::string& iccid);
    void showState(std::string_view text);
    void enableInputs(bool enabled);

    const LanguageTable& table_;
    Prompts& prompts_;
    std::string programFile_;
    std::vector<std::string> lines_;
    std::string programName_;
    std::filesystem::path backups_;
    std::filesystem::path jobLog_;
    std::function<std::optional<QString>()> chooseSites_;
    std::function<void(const CardJob&)> cardEnded_;
    std::unique_ptr<RunThread> thread_;

    QLabel* labProgram_;
    QLineEdit* edSites_;
    QPushButton* butSites_;
    QCheckBox* cbDelete_;
    QLineEdit* edPin_;
    QListWidget* listReaders_;
    QPushButton* butStart_;
    QPushButton* butStop_;
    QPushButton* butClose_;
    QLabel* labState_;
    QWidget* boxReaders_;
    QGridLayout* readerLines_;
    std::vector<QLabel*> readerNames_;
    std::vector<QLabel*> readerStates_;
    QTreeWidget* listCards_;
};

} // namespace tarvik
