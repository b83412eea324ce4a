#pragma once

#include "editor/shell/dialogs/ShellDialog.h"
#include "modem/RemoteSend.h"

#include <QString>
#include <string>
#include <vector>

class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTreeWidget;

namespace tarvik {

class Settings;
class SmsJob;

// Sends the program's remote-programming messages through a GSM modem: the modem's port
// (the serial ports found, the run command's virtual modem first), the device's telephone
// number (remembered for each program file), the PIN of the modem's SIM when it asks for
// one. Each message shows its state (waiting, sent, failed) and the device's replies show as
// they come. The modem runs on a worker thread, so the window stays responsive; Cancel stops
// after the message in hand, and closes the dialog when nothing is being sent. Send after a
// failure sends from the message that failed.
class SendSmsDialog : public ShellDialog {
public:
    SendSmsDialog(const LanguageTable& table, Settings& settings);
    ~SendSmsDialog() override;

    // The messages of the program saved at programPath (empty for an unsaved one), and the
    // ports to offer; clears what an earlier sending showed.
    void SetProgram(std::vector<std::u16string> messages, const QString& programPath,
                    const std::vector<std::string>& ports);

    QComboBox& CBPort() const { return *cbPort_; }
    QLineEdit& EDNumber() const { return *edNumber_; }
    QLineEdit& EDPin() const { return *edPin_; }
    QTreeWidget& ListMessages() const { return *listMessages_; }
    QPlainTextEdit& MemoReplies() const { return *memoReplies_; }
    QLabel& LabStatus() const { return *labStatus_; }
    QPushButton& ButSend() const { return *butSend_; }
    QPushButton& ButCancel() const { return *butCancel_; }
    bool Sending() const;

    // How long each modem step may take; the defaults, or TARVIK_MODEM_TIMEOUT_MS.
    modem::ModemTimeouts timeouts = modem::ModemTimeouts::fromEnvironment();
    // How long to wait for replies after the last message.
    modem::milliseconds replyWait{30000};

protected:
    void reject() override;

private:
    void SetHeaders();
    void ButSendClick();
    void ButCancelClick();
    void ShowState(std::size_t index, std::string_view state, const QString& detail = {});
    void showOutcome(const modem::SendOutcome& outcome);
    void EnableInputs(bool enabled);
    QString NumberKey() const;

    const LanguageTable& table_;
    Settings& settings_;
    SmsJob* job_;
    std::vector<std::u16string> messages_;
    std::vector<bool> sent_;
    QString programPath_;
    QComboBox* cbPort_;
    QLineEdit* edNumber_;
    QLineEdit* edPin_;
    QTreeWidget* listMessages_;
    QPlainTextEdit* memoReplies_;
    QLabel* labStatus_;
    QPushButton* butSend_;
    QPushButton* butCancel_;
};

} // namespace tarvik
