#pragma once

#include "editor/cli/CliCommand.h"
#include "editor/cli/Completion.h"
#include "editor/cli/ExitStatus.h"
#include "editor/sim/TransferWindow.h"

#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>

namespace tarvik::cli {

// The options of the card commands.
inline constexpr ArgOption pinOption{"--pin", ArgValue::Text, "PIN",
                                     "the card's PIN, when it asks for one; it then stops asking"};
inline constexpr ArgOption readerOption{
    "--reader", ArgValue::Name, "NAME",
    "the card reader (see 'readers'); else the first with a card", ReaderCandidates};

inline constexpr ArgOption keepForeignOption{"--keep-foreign", ArgValue::None, "",
                                             "keep the card's records that are not the program's"};
inline constexpr ArgOption noBackupOption{"--no-backup", ArgValue::None, "",
                                          "write without saving the card's phonebook first"};

// The arguments of the card commands.
struct SimArgs {
    std::string path;
    std::optional<int> model;
    std::optional<std::string> pin; // Windows-1252, as the card library takes it
    std::optional<std::string> reader;
    bool keepForeign = false;
    bool noBackup = false;
    bool anyCard = false;
};

// Reads the parsed arguments of a card command; nothing after writing the reason to err
// (a PIN with a character that the card's PIN cannot hold).
std::optional<SimArgs> ReadSimArgs(const ParsedArgs& args, std::ostream& err);

// Why no card was found: what the card service says about the readers. The reader is the
// one given with --reader, else the one the library was told to use.
std::string WhyNoCard(std::optional<std::string> reader);

// The exit status of a transfer that failed with `status`: a card that refused it because its
// PIN must be presented first gives exitPin, one whose PIN is blocked exitSimBlocked, after
// a line saying so; any other failure keeps `status`.
int FailedTransferStatus(int status, std::ostream& err);

// The card connection for one command: connects on open, closes the library when it ends.
class SimSession {
public:
    SimSession() = default;
    SimSession(const SimSession&) = delete;
    SimSession& operator=(const SimSession&) = delete;
    ~SimSession();

    // Picks the reader (when given), connects, and gets CHV1 out of the way with the PIN.
    // exitOk when the card is ready; otherwise the exit status after writing the message
    // ("SIM not found" and why, "SIM is blocked, PIN count is zero", "Wrong PIN! - PIN
    // count is now N", or that a PIN is needed) to err. Without a PIN, nothing is sent that
    // changes the card.
    int open(const SimArgs& args, std::ostream& err);
};

// The transfer's window on standard error: the caption's error texts as lines (with the
// reason after them), and the progress on one line that is rewritten on a terminal, or as
// a line now and then otherwise. Nothing beeps or waits.
class StreamTransferWindow : public TransferWindow {
public:
    StreamTransferWindow(std::ostream& err, bool terminal) : err_(err), terminal_(terminal) {}

    std::string caption() const override { return caption_; }
    void setCaption(std::string_view text) override;
    void processPendingEvents() override {}
    void beep() override {}
    void pause(std::chrono::milliseconds) override {}
    void progress(int record, int count) override;
    void failureDetail(std::string_view text) override { detail_ = text; }

private:
    void endProgressLine();

    std::ostream& err_;
    bool terminal_;
    bool progressLineOpen_ = false;
    std::string caption_ = "tarvik-cli";
    std::string detail_;
};

} // namespace tarvik::cli
