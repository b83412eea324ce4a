#include "editor/shell/dialogs/BatchDialog.h"

#include "base/CsvTable.h"
#include "editor/form/SitePrograms.h"
#include "editor/shell/app/Prompts.h"
#include "editor/shell/widgets/QtText.h"
#include "editor/sim/JobLog.h"
#include "editor/sim/PcscCardPresence.h"
#include "editor/sim/QuenlibCardPort.h"
#include "editor/sim/SimMessages.h"
#include "editor/sim/TransferWindow.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDateTime>
#include <QDeadlineTimer>
#include <QDialogButtonBox>
#include <QEventLoop>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <cstdlib>
#include <fstream>
#include <mutex>
#include <sstream>

namespace tarvik {
namespace {

constexpr std::string_view kInsertCard = "Insert the next card";
constexpr std::string_view kTakeCardOut = "Take the card out";
constexpr std::string_view kWritingCard = "Writing the card";
constexpr std::string_view kReadingBack = "Reading the card back";
constexpr std::string_view kRunEnded = "The run has ended";
constexpr std::string_view kSameCardAgain =
    "This card was programmed in this run already. Write it again?";

// The reader the card library was told to use, when one is named.
std::optional<std::string> FixedReader() {
    const char* reader = std::getenv("QUENLIB_READER");
    if (reader == nullptr || *reader == '\0' || std::string_view(reader) == "*") {
        return std::nullopt;
    }
    return std::string(reader);
}

} // namespace

// The run on its own thread. What the run tells goes to the dialog's thread as queued
// calls; the question about a card put back waits there for the answer.
class BatchDialog::RunThread final : public QThread, public BatchObserver {
public:
    RunThread(BatchDialog& dialog, BatchSettings settings, std::filesystem::path backups,
              std::unique_ptr<JobLog> log)
        : dialog_(dialog), settings_(std::move(settings)), backups_(std::move(backups)),
          log_(std::move(log)), presence_(FixedReader()) {
        settings_.backups = &backups_;
    }

    void Stop() {
        const std::lock_guard lock(mutex_);
        stopRequested_ = true;
        if (batch_ != nullptr) {
            batch_->Stop();
        }
    }

    void phase(BatchPhase phase, int card) override {
        QMetaObject::invokeMethod(
            &dialog_, [d = &dialog_, phase, card] { d->ShowPhase(phase, card); },
            Qt::QueuedConnection);
    }
    void cardEnded(const CardJob& job) override {
        QMetaObject::invokeMethod(
            &dialog_, [d = &dialog_, job] { d->AddCard(job); }, Qt::QueuedConnection);
    }
    bool rewriteSameCard(const std::string& iccid) override {
        bool answer = false;
        QMetaObject::invokeMethod(
            &dialog_, [&] { answer = dialog_.AskRewrite(iccid); }, Qt::BlockingQueuedConnection);
        return answer;
    }

protected:
    void run() override {
        QuenlibCardPort port;
        QuietTransferWindow window;
        CardBatch batch(settings_, port, presence_, window, *this, log_.get());
        {
            const std::lock_guard lock(mutex_);
            batch_ = &batch;
            if (stopRequested_) {
                batch.Stop();
            }
        }
        const BatchSummary summary = batch.Run();
        {
            const std::lock_guard lock(mutex_);
            batch_ = nullptr;
        }
        port.dropConnection();
        QMetaObject::invokeMethod(
            &dialog_, [d = &dialog_, summary] { d->showSummary(summary); }, Qt::QueuedConnection);
    }

private:
    BatchDialog& dialog_;
    BatchSettings settings_;
    BackupStore backups_;
    std::unique_ptr<JobLog> log_;
    PcscCardPresence presence_;
    std::mutex mutex_;
    CardBatch* batch_ = nullptr;
    bool stopRequested_ = false;
};

BatchDialog::BatchDialog(const LanguageTable& table, Prompts& prompts)
    : ShellDialog(&table), table_(table), prompts_(prompts), backups_(BackupStore::defaultFolder()),
      jobLog_(JobLog::defaultPath()) {
    setObjectName(QStringLiteral("FormBatch"));
    setWindowTitle(QStringLiteral("Program cards in a row"));

    labProgram_ = new QLabel(this);
    labProgram_->setObjectName(QStringLiteral("LabProgram"));
    edSites_ = new QLineEdit(this);
    edSites_->setObjectName(QStringLiteral("EdSites"));
    edSites_->setMinimumWidth(280);
    butSites_ = new QPushButton(QStringLiteral("Browse..."), this);
    butSites_->setObjectName(QStringLiteral("ButSites"));
    connect(butSites_, &QPushButton::clicked, this, [this] {
        if (chooseSites_) {
            if (const std::optional<QString> file = chooseSites_()) {
                edSites_->setText(*file);
            }
        }
    });
    cbDelete_ = new QCheckBox(QStringLiteral("Delete SIM during write"), this);
    cbDelete_->setObjectName(QStringLiteral("CBDelete"));
    cbDelete_->setChecked(true);
    edPin_ = new QLineEdit(this);
    edPin_->setObjectName(QStringLiteral("EdPin"));
    edPin_->setEchoMode(QLineEdit::Password);
    edPin_->setMaxLength(8);

    labState_ = new QLabel(this);
    labState_->setObjectName(QStringLiteral("LabState"));
    QFont large = labState_->font();
    large.setPointSizeF(large.pointSizeF() * 2);
    large.setBold(true);
    labState_->setFont(large);
    labState_->setAlignment(Qt::AlignCenter);
    labState_->setMinimumHeight(labState_->fontMetrics().height() * 2);

    listCards_ = new QTreeWidget(this);
    listCards_->setObjectName(QStringLiteral("ListCards"));
    listCards_->setColumnCount(4);
    listCards_->setRootIsDecorated(false);
    listCards_->setMinimumSize(460, 160);
    // Set here, in the language of the moment: the window's translation knows no list
    // headers.
    listCards_->setHeaderLabels({Translated(table_, std::string_view("Time")),
                                 Translated(table_, std::string_view("ICCID")),
                                 Translated(table_, std::string_view("Site row")),
                                 Translated(table_, std::string_view("Result"))});

    auto* buttons = new QDialogButtonBox(this);
    butStart_ = buttons->addButton(QStringLiteral("Start"), QDialogButtonBox::ActionRole);
    butStart_->setObjectName(QStringLiteral("ButStart"));
    butStart_->setDefault(true);
    butStop_ = buttons->addButton(QStringLiteral("Stop"), QDialogButtonBox::ActionRole);
    butStop_->setObjectName(QStringLiteral("ButStop"));
    butStop_->setEnabled(false);
    butClose_ = buttons->addButton(QStringLiteral("Close"), QDialogButtonBox::RejectRole);
    butClose_->setObjectName(QStringLiteral("ButClose"));
    connect(butStart_, &QPushButton::clicked, this, &BatchDialog::Start);
    connect(butStop_, &QPushButton::clicked, this, &BatchDialog::Stop);
    connect(buttons, &QDialogButtonBox::rejected, this, &BatchDialog::reject);

    auto* sites = new QHBoxLayout;
    sites->addWidget(edSites_, 1);
    sites->addWidget(butSites_);
    auto* form = new QFormLayout;
    auto* labSites = new QLabel(QStringLiteral("Sites file (optional):"), this);
    labSites->setObjectName(QStringLiteral("LabSites"));
    auto* labPin = new QLabel(QStringLiteral("PIN:"), this);
    labPin->setObjectName(QStringLiteral("LabPin"));
    form->addRow(labSites, sites);
    form->addRow(cbDelete_);
    form->addRow(labPin, edPin_);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(labProgram_);
    layout->addLayout(form);
    layout->addWidget(labState_);
    layout->addWidget(listCards_);
    layout->addWidget(buttons);
}

BatchDialog::~BatchDialog() {
    if (thread_) {
        thread_->Stop();
        // The thread may be asking a question on this thread: answer from the event loop.
        while (!thread_->wait(QDeadlineTimer(20))) {
            QCoreApplication::processEvents();
        }
    }
}

void BatchDialog::SetProgram(std::string programFile, std::vector<std::string> lines,
                             std::string name) {
    programFile_ = std::move(programFile);
    lines_ = std::move(lines);
    programName_ = std::move(name);
    labProgram_->setText(QString::fromStdString(programName_));
}

void BatchDialog::SetStores(std::filesystem::path backups, std::filesystem::path jobLog) {
    backups_ = std::move(backups);
    jobLog_ = std::move(jobLog);
}

void BatchDialog::SetChooseSitesFile(std::function<std::optional<QString>()> choose) {
    chooseSites_ = std::move(choose);
}

void BatchDialog::ShowState(std::string_view text) {
    labState_->setText(Translated(table_, text));
}

void BatchDialog::EnableInputs(bool enabled) {
    for (QWidget* input : std::initializer_list<QWidget*>{edSites_, butSites_, cbDelete_, edPin_,
                                                          butStart_, butClose_}) {
        input->setEnabled(enabled);
    }
    butStop_->setEnabled(!enabled);
}

void BatchDialog::Start() {
    if (thread_) {
        return;
    }
    BatchSettings settings;
    settings.programName = programName_;
    settings.deleteAll = cbDelete_->isChecked();
    const QString sitesPath = edSites_->text().trimmed();
    if (sitesPath.isEmpty()) {
        settings.programs = {{std::nullopt, lines_}};
    } else {
        std::ifstream in(sitesPath.toStdString(), std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        const CsvTable table = in ? ParseCsv(text.str()) : CsvTable{{}, "cannot be read"};
        const SitePrograms sites = table.error.empty()
                                       ? MakeSitePrograms(programFile_, table.rows, table_)
                                       : SitePrograms{{}, table.error};
        if (!sites.error.empty() || sites.sites.empty()) {
            prompts_.ShowError(
                sitesPath + QStringLiteral(": ") +
                QString::fromStdString(sites.error.empty() ? "no sites" : sites.error));
            return;
        }
        settings.perSite = true;
        for (const SiteProgram& site : sites.sites) {
            settings.programs.push_back({site.row, site.lines});
        }
    }
    if (!edPin_->text().isEmpty()) {
        settings.pin = ToWindows1252(edPin_->text());
    }
    auto log = std::make_unique<JobLog>();
    if (const std::string error = log->open(jobLog_); !error.empty()) {
        prompts_.ShowError(QString::fromStdString(error));
        return;
    }
    thread_ = std::make_unique<RunThread>(*this, std::move(settings), backups_, std::move(log));
    EnableInputs(false);
    thread_->start();
}

void BatchDialog::Stop() {
    if (thread_) {
        thread_->Stop();
        butStop_->setEnabled(false);
    }
}

void BatchDialog::ShowPhase(BatchPhase phase, int) {
    switch (phase) {
    case BatchPhase::WaitingForCard:
        ShowState(kInsertCard);
        break;
    case BatchPhase::Writing:
        ShowState(kWritingCard);
        break;
    case BatchPhase::Verifying:
        ShowState(kReadingBack);
        break;
    case BatchPhase::WaitingForRemoval:
        ShowState(kTakeCardOut);
        break;
    }
}

void BatchDialog::SetCardEnded(std::function<void(const CardJob&)> cardEnded) {
    cardEnded_ = std::move(cardEnded);
}

void BatchDialog::AddCard(const CardJob& job) {
    if (cardEnded_) {
        cardEnded_(job);
    }
    auto* item = new QTreeWidgetItem(listCards_);
    item->setText(0, QDateTime::fromSecsSinceEpoch(job.time).toString(QStringLiteral("HH:mm:ss")));
    item->setText(1, job.iccid ? QString::fromStdString(*job.iccid)
                               : Translated(table_, std::string_view("unknown")));
    item->setText(2, job.row ? QString::number(*job.row) : QString());
    item->setText(3, QString::fromUtf8(OutcomeWord(job.outcome).data(),
                                       static_cast<qsizetype>(OutcomeWord(job.outcome).size())));
    if (!job.detail.empty()) {
        item->setToolTip(3, QString::fromStdString(job.detail));
    }
    for (int column = 0; column < 4; ++column) {
        listCards_->resizeColumnToContents(column);
    }
    listCards_->scrollToItem(item);
}

void BatchDialog::showSummary(const BatchSummary& summary) {
    if (thread_) {
        thread_->wait();
        thread_.reset();
    }
    EnableInputs(true);
    ShowState(kRunEnded);
    if (!summary.error.empty()) {
        prompts_.ShowError(QString::fromStdString(summary.error));
    }
}

bool BatchDialog::AskRewrite(const std::string& iccid) {
    return prompts_.AskYesNoCancel(QString::fromStdString(iccid),
                                   Translated(table_, kSameCardAgain)) == Prompts::Answer::Yes;
}

void BatchDialog::reject() {
    if (thread_) {
        // Close waits for the card in hand, and answers what the run asks meanwhile.
        Stop();
        QEventLoop loop;
        connect(thread_.get(), &QThread::finished, &loop, &QEventLoop::quit);
        if (thread_->isRunning()) {
            loop.exec();
        }
    }
    ShellDialog::reject();
}

} // namespace tarvik
