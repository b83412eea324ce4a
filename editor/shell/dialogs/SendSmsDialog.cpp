#include "editor/shell/dialogs/SendSmsDialog.h"

#include "base/Utf8.h"
#include "editor/shell/app/Settings.h"
#include "editor/shell/dialogs/SmsJob.h"
#include "editor/shell/widgets/QtText.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <cstdlib>

namespace tarvik {
namespace {

enum Column { kNumber, kCharacters, kState };

QString FromUtf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

SendSmsDialog::SendSmsDialog(const LanguageTable& table, Settings& settings)
    : ShellDialog(&table), table_(table), settings_(settings) {
    setObjectName(QStringLiteral("FormSendSms"));
    setWindowTitle(QStringLiteral("Send by SMS"));

    cbPort_ = new QComboBox(this);
    cbPort_->setObjectName(QStringLiteral("CBPort"));
    cbPort_->setEditable(true);
    cbPort_->setMinimumWidth(260);
    edNumber_ = new QLineEdit(this);
    edNumber_->setObjectName(QStringLiteral("EDNumber"));
    edPin_ = new QLineEdit(this);
    edPin_->setObjectName(QStringLiteral("EDPin"));
    edPin_->setEchoMode(QLineEdit::Password);
    auto* fields = new QFormLayout;
    const std::pair<const char*, QWidget*> rows[] = {
        {"Modem port:", cbPort_},
        {"Telephone number of the device:", edNumber_},
        {"PIN of the modem's SIM:", edPin_},
    };
    for (const auto& [caption, field] : rows) {
        auto* label = new QLabel(QString::fromLatin1(caption), this);
        label->setObjectName(QStringLiteral("Lab") + field->objectName());
        label->setBuddy(field);
        fields->addRow(label, field);
    }

    listMessages_ = new QTreeWidget(this);
    listMessages_->setObjectName(QStringLiteral("ListMessages"));
    listMessages_->setColumnCount(3);
    listMessages_->setRootIsDecorated(false);
    listMessages_->setSelectionMode(QAbstractItemView::NoSelection);
    listMessages_->setMinimumSize(420, 120);
    SetHeaders();
    auto* labReplies = new QLabel(QStringLiteral("Replies:"), this);
    labReplies->setObjectName(QStringLiteral("LabReplies"));
    memoReplies_ = new QPlainTextEdit(this);
    memoReplies_->setObjectName(QStringLiteral("MemoReplies"));
    memoReplies_->setReadOnly(true);
    memoReplies_->setMinimumHeight(80);
    labReplies->setBuddy(memoReplies_);
    labStatus_ = new QLabel(this);
    labStatus_->setObjectName(QStringLiteral("LabStatus"));
    labStatus_->setWordWrap(true);

    butSend_ = new QPushButton(QStringLiteral("Send"), this);
    butSend_->setObjectName(QStringLiteral("ButSend"));
    butSend_->setDefault(true);
    butCancel_ = new QPushButton(QStringLiteral("Cancel"), this);
    butCancel_->setObjectName(QStringLiteral("ButCancel"));
    butCancel_->setAutoDefault(false);
    connect(butSend_, &QPushButton::clicked, this, &SendSmsDialog::ButSendClick);
    connect(butCancel_, &QPushButton::clicked, this, &SendSmsDialog::ButCancelClick);

    job_ = new SmsJob(
        {
            .sending = [this](std::size_t i) { ShowState(i, "sending"); },
            .sent =
                [this](std::size_t i, std::optional<int> reference) {
                    sent_[i] = true;
                    ShowState(i, "sent", reference ? QString::number(*reference) : QString());
                },
            .failed = [this](std::size_t i,
                             const std::string& error) { ShowState(i, "failed", FromUtf8(error)); },
            .replied =
                [this](const modem::ReceivedSms& reply) {
                    memoReplies_->appendPlainText(
                        FromUtf8(reply.from + " (" + reply.time + "): " + reply.text));
                },
            .warning = [this](const std::string& text) { labStatus_->setText(FromUtf8(text)); },
            .finished = [this](const modem::SendOutcome& outcome) { showOutcome(outcome); },
        },
        this);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(butSend_);
    buttons->addWidget(butCancel_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addWidget(listMessages_);
    layout->addWidget(labReplies);
    layout->addWidget(memoReplies_);
    layout->addWidget(labStatus_);
    layout->addSpacing(8);
    layout->addLayout(buttons);
}

SendSmsDialog::~SendSmsDialog() = default;

bool SendSmsDialog::Sending() const {
    return job_->Running();
}

QString SendSmsDialog::NumberKey() const {
    // A path holds "/", which the settings would take for groups.
    return QStringLiteral("SmsNumber-") + QString::fromLatin1(programPath_.toUtf8().toHex());
}

void SendSmsDialog::SetProgram(std::vector<std::u16string> messages, const QString& programPath,
                               const std::vector<std::string>& ports) {
    messages_ = std::move(messages);
    sent_.assign(messages_.size(), false);
    programPath_ = programPath;
    cbPort_->clear();
    for (const auto& port : ports) {
        cbPort_->addItem(QString::fromStdString(port));
    }
    // The run command's virtual modem is the one to use when it is there.
    if (const char* preferred = std::getenv("TARVIK_MODEM_PORT")) {
        const int index = cbPort_->findText(QString::fromLocal8Bit(preferred));
        cbPort_->setCurrentIndex(std::max(index, 0));
    }
    edNumber_->setText(settings_.ReadText(NumberKey(), QString()));
    edPin_->clear();
    memoReplies_->clear();
    labStatus_->clear();
    butCancel_->setText(Translated(table_, std::string_view("Cancel")));
    SetHeaders();
    listMessages_->clear();
    for (std::size_t i = 0; i < messages_.size(); ++i) {
        auto* item = new QTreeWidgetItem(listMessages_);
        item->setText(kNumber, QString::number(i + 1));
        item->setText(kCharacters, QString::number(messages_[i].size()));
        item->setTextAlignment(kCharacters, Qt::AlignRight | Qt::AlignVCenter);
        item->setToolTip(kNumber, QString::fromStdU16String(messages_[i]));
        ShowState(i, "waiting");
    }
    for (int column = 0; column < 3; ++column) {
        listMessages_->resizeColumnToContents(column);
    }
    EnableInputs(true);
}

void SendSmsDialog::SetHeaders() {
    // Set here rather than left to the window's translation, which knows no list headers.
    listMessages_->setHeaderLabels({Translated(table_, std::string_view("Message")),
                                    Translated(table_, std::string_view("Characters")),
                                    Translated(table_, std::string_view("State"))});
}

void SendSmsDialog::ShowState(std::size_t index, std::string_view state, const QString& detail) {
    QTreeWidgetItem* item = listMessages_->topLevelItem(static_cast<int>(index));
    if (item == nullptr) {
        return;
    }
    QString text = Translated(table_, state);
    if (!detail.isEmpty()) {
        text += QStringLiteral(" (") + detail + QStringLiteral(")");
    }
    item->setText(kState, text);
}

void SendSmsDialog::EnableInputs(bool enabled) {
    for (QWidget* widget : {static_cast<QWidget*>(cbPort_), static_cast<QWidget*>(edNumber_),
                            static_cast<QWidget*>(edPin_), static_cast<QWidget*>(butSend_)}) {
        widget->setEnabled(enabled);
    }
}

void SendSmsDialog::ButSendClick() {
    const auto first = std::find(sent_.begin(), sent_.end(), false);
    if (Sending() || first == sent_.end()) {
        return;
    }
    const std::string number = edNumber_->text().trimmed().toStdString();
    std::string error;
    if (!modem::ParseDestination(number, error)) {
        labStatus_->setText(Translated(table_, std::string_view("Not a telephone number")));
        edNumber_->setFocus();
        return;
    }
    settings_.WriteText(NumberKey(), QString::fromStdString(number));
    modem::SendRequest request{
        .messages = messages_,
        .number = number,
        .pin = edPin_->text().toStdString(),
        .first = static_cast<std::size_t>(first - sent_.begin()),
        .wait = replyWait,
        .timeouts = timeouts,
    };
    for (std::size_t i = request.first; i < messages_.size(); ++i) {
        ShowState(i, "waiting");
    }
    labStatus_->setText(Translated(table_, std::string_view("Sending...")));
    butCancel_->setText(Translated(table_, std::string_view("Cancel")));
    EnableInputs(false);
    job_->Start(cbPort_->currentText().toStdString(), std::move(request));
}

void SendSmsDialog::ButCancelClick() {
    if (!Sending()) {
        ShellDialog::reject();
        return;
    }
    job_->Cancel();
    labStatus_->setText(Translated(table_, std::string_view("Stopping after the message in hand")));
}

void SendSmsDialog::reject() {
    // Escape and the window's close button stop the sending first, as Cancel does.
    ButCancelClick();
}

void SendSmsDialog::showOutcome(const modem::SendOutcome& outcome) {
    EnableInputs(true);
    // Nothing is left to cancel once the sending has ended.
    butCancel_->setText(Translated(table_, std::string_view("Close")));
    using Result = modem::SendOutcome::Result;
    QString status;
    switch (outcome.result) {
    case Result::Sent:
        status = Translated(table_, std::string_view("All messages were sent"));
        butSend_->setEnabled(false);
        break;
    case Result::Cancelled:
        status = Translated(table_, std::string_view("Sending stopped"));
        break;
    case Result::SetupFailed:
    case Result::MessageFailed:
        status = Translated(table_, std::string_view("The modem failed:")) + QLatin1Char(' ') +
                 FromUtf8(outcome.error);
        break;
    }
    labStatus_->setText(status);
}

} // namespace tarvik
