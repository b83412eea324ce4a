#include "editor/shell/dialogs/BatchDialog.h"

#include "base/CsvTable.h"
#include "editor/form/SitePrograms.h"
#include "editor/shell/app/Prompts.h"
#include "editor/shell/i18n/WindowTranslator.h"
#include "editor/shell/widgets/QtText.h"
#include "editor/sim/JobLog.h"
#include "editor/sim/PcscCardPresence.h"
#include "editor/sim/ReaderList.h"
#include "editor/sim/ReaderPorts.h"
#include "editor/sim/SimMessages.h"
#include "editor/sim/TransferWindow.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDateTime>
#include <QDeadlineTimer>
#include <QDialogButtonBox>
#include <QEventLoop>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <cstdlib>
#include <fstream>
#include <mutex>
#include <sstream>

namespace tarvik {
namespace {

constexpr std::string_view insertCard = "Insert the next card";
constexpr std::string_view takeCardOut = "Take the card out";
constexpr std::string_view writingCard = "Writing the card";
constexpr std::string_view readingBack = "Reading the card back";
constexpr std::string_view waitingForSite = "The card waits for a site";
constexpr std::string_view readerDone = "This reader is done";
constexpr std::string_view readerGone = "The reader is gone";
constexpr std::string_view runEnded = "The run has ended";
constexpr std::string_view sameCardAgain =
    "This card was programmed in this run already. Write it again?";

enum CardColumn { timeColumn, iccidColumn, rowColumn, resultColumn, readerColumn, columnCount };

// The reader the card library was told to use, when one is named.
std::optional<std::string> FixedReader() {
    const char* reader = std::getenv("QUENLIB_READER");
    if (reader == nullptr || *reader == '\0' || std::string_view(reader) == "*") {
        return std::nullopt;
    }
    return std::string(reader);
}

std::string_view Instruction(ReaderPhase phase) {
    switch (phase) {
    case ReaderPhase::WaitingForCard:
        return insertCard;
    case ReaderPhase::WaitingForSite:
        return waitingForSite;
    case ReaderPhase::Writing:
        return writingCard;
    case ReaderPhase::Verifying:
        return readingBack;
    case ReaderPhase::WaitingForRemoval:
        return takeCardOut;
    case ReaderPhase::Finished:
        return readerDone;
    case ReaderPhase::Lost:
        return readerGone;
    }
    return {};
}

// One reader of the run: its own card connection, its own watch, a window that shows
// nothing.
struct RunReader {
    std::unique_ptr<CardPort> port;
    std::unique_ptr<PcscCardPresence> presence;
    QuietTransferWindow window;
};

} // namespace

// The run on threads of its own. What the run tells goes to the dialog's thread as queued
// calls; the question about a card put back waits there for the answer.
class BatchDialog::RunThread final : public QThread, public ReadersObserver {
public:
    RunThread(BatchDialog& dialog, BatchSettings settings, std::filesystem::path backups,
              std::unique_ptr<JobLog> log, const std::vector<std::string>& readers)
        : dialog_(dialog), settings_(std::move(settings)), backups_(std::move(backups)),
          log_(std::move(log)) {
        settings_.backups = &backups_;
        std::vector<CardSeat> seats;
        for (const std::string& name : readers) {
            auto reader = std::make_unique<RunReader>();
            reader->port = ports_.open(name);
            reader->presence = std::make_unique<PcscCardPresence>(name);
            seats.push_back({*reader->port, *reader->presence, reader->window});
            readers_.push_back(std::move(reader));
        }
        batch_.emplace(settings_, std::move(seats), *this, log_.get());
    }

    void stop() { batch_->stop(); }

    void phase(std::size_t reader, ReaderPhase phase, int) override {
        QMetaObject::invokeMethod(
            &dialog_, [d = &dialog_, reader, phase] { d->showReaderPhase(reader, phase); },
            Qt::QueuedConnection);
    }
    void cardEnded(std::size_t reader, const CardJob& job) override {
        QMetaObject::invokeMethod(
            &dialog_, [d = &dialog_, reader, job] { d->addCard(reader, job); },
            Qt::QueuedConnection);
    }
    bool rewriteSameCard(const std::string& iccid) override {
        bool answer = false;
        QMetaObject::invokeMethod(
            &dialog_, [&] { answer = dialog_.askRewrite(iccid); }, Qt::BlockingQueuedConnection);
        return answer;
    }

protected:
    void run() override {
        const BatchSummary summary = batch_->run();
        for (const auto& reader : readers_) {
            reader->port->dropConnection();
        }
        QMetaObject::invokeMethod(
            &dialog_, [d = &dialog_, summary] { d->showSummary(summary); }, Qt::QueuedConnection);
    }

private:
    BatchDialog& dialog_;
    BatchSettings settings_;
    BackupStore backups_;
    std::unique_ptr<JobLog> log_;
    QuenlibReaderPorts ports_;
    std::vector<std::unique_ptr<RunReader>> readers_;
    std::optional<MultiReaderBatch> batch_;
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
    listReaders_ = new QListWidget(this);
    KeepUntranslated(*listReaders_);
    listReaders_->setObjectName(QStringLiteral("ListReaders"));
    listReaders_->setMaximumHeight(listReaders_->fontMetrics().height() * 5);

    labState_ = new QLabel(this);
    labState_->setObjectName(QStringLiteral("LabState"));
    labState_->setAlignment(Qt::AlignCenter);

    boxReaders_ = new QWidget(this);
    boxReaders_->setObjectName(QStringLiteral("BoxReaders"));
    readerLines_ = new QGridLayout(boxReaders_);
    readerLines_->setContentsMargins(0, 0, 0, 0);
    readerLines_->setColumnStretch(1, 1);

    listCards_ = new QTreeWidget(this);
    listCards_->setObjectName(QStringLiteral("ListCards"));
    listCards_->setColumnCount(columnCount);
    listCards_->setRootIsDecorated(false);
    listCards_->setMinimumSize(520, 160);
    // Set here, in the language of the moment: the window's translation knows no list
    // headers.
    listCards_->setHeaderLabels({Translated(table_, std::string_view("Time")),
                                 Translated(table_, std::string_view("ICCID")),
                                 Translated(table_, std::string_view("Site row")),
                                 Translated(table_, std::string_view("Result")),
                                 Translated(table_, std::string_view("Reader"))});

    auto* buttons = new QDialogButtonBox(this);
    butStart_ = buttons->addButton(QStringLiteral("Start"), QDialogButtonBox::ActionRole);
    butStart_->setObjectName(QStringLiteral("ButStart"));
    butStart_->setDefault(true);
    butStop_ = buttons->addButton(QStringLiteral("Stop"), QDialogButtonBox::ActionRole);
    butStop_->setObjectName(QStringLiteral("ButStop"));
    butStop_->setEnabled(false);
    butClose_ = buttons->addButton(QStringLiteral("Close"), QDialogButtonBox::RejectRole);
    butClose_->setObjectName(QStringLiteral("ButClose"));
    connect(butStart_, &QPushButton::clicked, this, &BatchDialog::start);
    connect(butStop_, &QPushButton::clicked, this, &BatchDialog::stop);
    connect(buttons, &QDialogButtonBox::rejected, this, &BatchDialog::reject);

    auto* sites = new QHBoxLayout;
    sites->addWidget(edSites_, 1);
    sites->addWidget(butSites_);
    auto* form = new QFormLayout;
    auto* labSites = new QLabel(QStringLiteral("Sites file (optional):"), this);
    labSites->setObjectName(QStringLiteral("LabSites"));
    auto* labPin = new QLabel(QStringLiteral("PIN:"), this);
    labPin->setObjectName(QStringLiteral("LabPin"));
    auto* labReaders = new QLabel(QStringLiteral("Readers:"), this);
    labReaders->setObjectName(QStringLiteral("LabReaders"));
    form->addRow(labSites, sites);
    form->addRow(cbDelete_);
    form->addRow(labPin, edPin_);
    form->addRow(labReaders, listReaders_);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(labProgram_);
    layout->addLayout(form);
    layout->addWidget(boxReaders_);
    layout->addWidget(labState_);
    layout->addWidget(listCards_);
    layout->addWidget(buttons);

    std::vector<std::string> readers;
    if (const std::optional<std::string> fixed = FixedReader()) {
        readers.push_back(*fixed);
    } else {
        for (const ReaderState& reader : ListReaders().readers) {
            readers.push_back(reader.name);
        }
    }
    setReaders(readers);
}

BatchDialog::~BatchDialog() {
    if (thread_) {
        thread_->stop();
        // The thread may be asking a question on this thread: answer from the event loop.
        while (!thread_->wait(QDeadlineTimer(20))) {
            QCoreApplication::processEvents();
        }
    }
}

void BatchDialog::setProgram(std::string programFile, std::vector<std::string> lines,
                             std::string name) {
    programFile_ = std::move(programFile);
    lines_ = std::move(lines);
    programName_ = std::move(name);
    labProgram_->setText(QString::fromStdString(programName_));
}

void BatchDialog::setStores(std::filesystem::path backups, std::filesystem::path jobLog) {
    backups_ = std::move(backups);
    jobLog_ = std::move(jobLog);
}

void BatchDialog::setChooseSitesFile(std::function<std::optional<QString>()> choose) {
    chooseSites_ = std::move(choose);
}

void BatchDialog::setReaders(const std::vector<std::string>& readers) {
    listReaders_->clear();
    for (const std::string& reader : readers) {
        auto* item = new QListWidgetItem(QString::fromStdString(reader), listReaders_);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Checked);
    }
    showReaderLines(readers);
}

// A line a reader: its name, and in large type what the user must do there.
void BatchDialog::showReaderLines(const std::vector<std::string>& readers) {
    for (QLabel* label : readerNames_) {
        delete label;
    }
    for (QLabel* label : readerStates_) {
        delete label;
    }
    readerNames_.clear();
    readerStates_.clear();
    QFont large = font();
    large.setPointSizeF(large.pointSizeF() * 2);
    large.setBold(true);
    for (std::size_t i = 0; i < readers.size(); ++i) {
        const QString number = QString::number(i);
        auto* name = new QLabel(QString::fromStdString(readers[i]), boxReaders_);
        name->setObjectName(QStringLiteral("LabReader") + number);
        KeepUntranslated(*name);
        auto* state = new QLabel(boxReaders_);
        state->setObjectName(QStringLiteral("LabReaderState") + number);
        state->setFont(large);
        state->setMinimumHeight(QFontMetrics(large).height());
        readerLines_->addWidget(name, static_cast<int>(i), 0);
        readerLines_->addWidget(state, static_cast<int>(i), 1);
        readerNames_.push_back(name);
        readerStates_.push_back(state);
    }
}

void BatchDialog::showState(std::string_view text) {
    labState_->setText(Translated(table_, text));
}

void BatchDialog::enableInputs(bool enabled) {
    for (QWidget* input : std::initializer_list<QWidget*>{edSites_, butSites_, cbDelete_, edPin_,
                                                          listReaders_, butStart_, butClose_}) {
        input->setEnabled(enabled);
    }
    butStop_->setEnabled(!enabled);
}

void BatchDialog::start() {
    if (thread_) {
        return;
    }
    std::vector<std::string> readers;
    for (int row = 0; row < listReaders_->count(); ++row) {
        if (const QListWidgetItem* item = listReaders_->item(row);
            item->checkState() == Qt::Checked) {
            readers.push_back(item->text().toStdString());
        }
    }
    if (readers.empty()) {
        prompts_.ShowError(Translated(table_, std::string_view(kSimNotFound)));
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
    showReaderLines(readers);
    labState_->clear();
    thread_ =
        std::make_unique<RunThread>(*this, std::move(settings), backups_, std::move(log), readers);
    enableInputs(false);
    thread_->start();
}

void BatchDialog::stop() {
    if (thread_) {
        thread_->stop();
        butStop_->setEnabled(false);
    }
}

void BatchDialog::showReaderPhase(std::size_t reader, ReaderPhase phase) {
    if (reader < readerStates_.size()) {
        readerStates_[reader]->setText(Translated(table_, Instruction(phase)));
    }
}

void BatchDialog::setCardEnded(std::function<void(const CardJob&)> cardEnded) {
    cardEnded_ = std::move(cardEnded);
}

void BatchDialog::addCard(std::size_t reader, const CardJob& job) {
    if (cardEnded_) {
        cardEnded_(job);
    }
    auto* item = new QTreeWidgetItem(listCards_);
    item->setText(timeColumn,
                  QDateTime::fromSecsSinceEpoch(job.time).toString(QStringLiteral("HH:mm:ss")));
    item->setText(iccidColumn, job.iccid ? QString::fromStdString(*job.iccid)
                                         : Translated(table_, std::string_view("unknown")));
    item->setText(rowColumn, job.row ? QString::number(*job.row) : QString());
    const std::string_view outcome = OutcomeWord(job.outcome);
    item->setText(resultColumn,
                  QString::fromUtf8(outcome.data(), static_cast<qsizetype>(outcome.size())));
    if (!job.detail.empty()) {
        item->setToolTip(resultColumn, QString::fromStdString(job.detail));
    }
    if (reader < readerNames_.size()) {
        item->setText(readerColumn, readerNames_[reader]->text());
    }
    for (int column = 0; column < columnCount; ++column) {
        listCards_->resizeColumnToContents(column);
    }
    listCards_->scrollToItem(item);
}

void BatchDialog::showSummary(const BatchSummary& summary) {
    if (thread_) {
        thread_->wait();
        thread_.reset();
    }
    enableInputs(true);
    showState(runEnded);
    std::string problems = summary.error;
    for (const std::string& lost : summary.lostReaders) {
        problems += (problems.empty() ? "" : "\n") + lost;
    }
    if (!problems.empty()) {
        prompts_.ShowError(QString::fromStdString(problems));
    }
}

bool BatchDialog::askRewrite(const std::string& iccid) {
    return prompts_.AskYesNoCancel(QString::fromStdString(iccid),
                                   Translated(table_, sameCardAgain)) == Prompts::Answer::Yes;
}

void BatchDialog::reject() {
    if (thread_) {
        // Close waits for the cards in hand, and answers what the run asks meanwhile.
        stop();
        QEventLoop loop;
        connect(thread_.get(), &QThread::finished, &loop, &QEventLoop::quit);
        if (thread_->isRunning()) {
            loop.exec();
        }
    }
    ShellDialog::reject();
}

} // namespace tarvik
