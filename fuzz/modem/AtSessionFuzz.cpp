// The AT session over a modem whose bytes come from the input, handed over by the port once
// whole and once in pieces the input chooses: every answer, prompt and unsolicited line
// must come out the same, and so must what the session writes back.
#include "fuzz/FuzzCheck.h"
#include "fuzz/FuzzInput.h"
#include "modem/AtSession.h"

#include <chrono>
#include <cstdint>
#include <span>
#include <string>
#include <utility>
#include <vector>

namespace {

using namespace std::chrono_literals;
using tarvik::modem::AtResult;
using tarvik::modem::AtSession;
using tarvik::modem::SerialPort;

// A modem that says a fixed stream, in reads of the piece sizes given (cycled), or all that
// is left at once when none are. Once the stream is said the port fails, so a run never
// waits out a timeout.
class ScriptedPort final : public SerialPort {
public:
    ScriptedPort(std::string_view stream, std::span<const std::uint8_t> pieces)
        : stream_(stream), pieces_(pieces) {}

    std::string written;

    bool write(std::string_view bytes) override {
        written += bytes;
        return true;
    }
    Status read(std::string& into, std::chrono::milliseconds) override {
        if (position_ >= stream_.size()) {
            return Status::Failed;
        }
        std::size_t size = stream_.size() - position_;
        if (!pieces_.empty()) {
            size = std::min<std::size_t>(size, 1 + pieces_[next_++ % pieces_.size()] % 16);
        }
        into.append(stream_.substr(position_, size));
        position_ += size;
        return Status::Data;
    }
    std::string error() const override { return "the modem's script ended"; }

private:
    std::string_view stream_;
    std::span<const std::uint8_t> pieces_;
    std::size_t position_ = 0;
    std::size_t next_ = 0;
};

void Note(std::vector<std::string>& transcript, const AtResult& result) {
    transcript.push_back(std::string(result.ok ? "ok" : "not ok") +
                         (result.timedOut ? ", timed out" : ""));
    transcript.push_back(result.error);
    transcript.push_back(std::to_string(result.lines.size()) + " lines");
    transcript.insert(transcript.end(), result.lines.begin(), result.lines.end());
}

// What each operation gave, in order, and the bytes the session wrote.
std::vector<std::string> Run(std::span<const std::uint8_t> operations, ScriptedPort& port) {
    AtSession session(port);
    std::vector<std::string> transcript;
    for (const std::uint8_t operation : operations) {
        switch (operation % 4) {
        case 0:
            Note(transcript, session.command("AT+CPIN?", 10s));
            break;
        case 1:
            Note(transcript, session.command("AT+CMGL=4", 10s));
            break;
        case 2:
            Note(transcript, session.submit(3, "001100", 10s, 10s));
            break;
        case 3: {
            const auto line = session.nextUnsolicited(10s);
            transcript.push_back(line ? "unsolicited " + *line : "no unsolicited line");
            break;
        }
        }
        transcript.push_back(session.failed() ? "port failed" : "port open");
    }
    transcript.push_back(port.written);
    return transcript;
}

} // namespace

// The input: a count byte and that many operations, a count byte and that many piece
// sizes (none: one byte a read), then what the modem says.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    tarvik::fuzz::FuzzInput input(data, size);
    const std::vector<std::uint8_t> operations = input.counted();
    std::vector<std::uint8_t> pieces = input.counted();
    if (pieces.empty()) {
        pieces.push_back(0);
    }
    const std::vector<std::uint8_t> said = input.rest();
    const std::string_view stream(reinterpret_cast<const char*>(said.data()), said.size());

    ScriptedPort whole(stream, {});
    ScriptedPort split(stream, pieces);
    tarvik::fuzz::Check(Run(operations, whole) == Run(operations, split),
                        "the session reads the same however the port splits the bytes");
    return 0;
}
