#pragma once

#include "editor/shell/dialogs/ShellDialog.h"
#include "editor/sim/CardBatch.h"

#include <QThread>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidget;

namespace tarvik {

class Prompts;

// Device > Program cards in a row: the editor's program (with a sites file, one program a
// site) written to card after card. The run goes on a thread of its own, which sleeps in
// the card service while it waits for a card; the dialog shows in large type what the
// user must do, and a line for each card as it ends. Stop ends the run once the card in
// hand is done. The editor's program is only read.
class BatchDialog : public ShellDialog {
public:
    BatchDialog(const LanguageTable& table, Prompts& prompts);
    ~BatchDialog() override;

    // The program: the editor's document as its file holds it, its lines, and its name.
    void SetProgram(std::string programFile, std::vector<std::string> lines, std::string name);
    // The folder for the backups; the job log is the default one unless set.
    void SetStores(std::filesystem::path backups, std::filesystem::path jobLog);
    // Where "Browse..." gets a sites file from; nothing when the user cancelled.
    void SetChooseSitesFile(std::function<std::optional<QString>()> choose);
    // Told of each card as it ends; may be left unset.
    void SetCardEnded(std::function<void(const CardJob&)> cardEnded);

    QLineEdit& EdSites() const { return *edSites_; }
    QCheckBox& CBDelete() const { return *cbDelete_; }
    QLineEdit& EdPin() const { return *edPin_; }
    QPushButton& ButStart() const { return *butStart_; }
    QPushButton& ButStop() const { return *butStop_; }
    QLabel& LabState() const { return *labState_; }
    QTreeWidget& ListCards() const { return *listCards_; }
    bool Running() const { return thread_ != nullptr; }

protected:
    void reject() override;

private:
    class RunThread;
    friend class RunThread;

    void Start();
    void Stop();
    void ShowPhase(BatchPhase phase, int card);
    void AddCard(const CardJob& job);
    void showSummary(const BatchSummary& summary);
    bool AskRewrite(const std::string& iccid);
    void ShowState(std::string_view text);
    void EnableInputs(bool enabled);

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
    QPushButton* butStart_;
    QPushButton* butStop_;
    QPushButton* butClose_;
    QLabel* labState_;
    QTreeWidget* listCards_;
};

} // namespace tarvik
