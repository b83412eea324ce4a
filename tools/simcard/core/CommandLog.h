#pragma once

#include <cstdio>
#include <filesystem>
#include <memory>
#include <span>
#include <string_view>

namespace simcard {

// Appends the card's traffic to a file, flushed line by line so that a test can read it
// while the card runs:
//   > A0 A4 00 00 02 7F 10     a command
//   < 9F 16                    its answer
//   # power on                 an event
class CommandLog {
public:
    // Without a path the log writes nothing. Throws std::runtime_error when it cannot open.
    explicit CommandLog(const std::filesystem::path& path = {});

    void command(std::span<const std::uint8_t> apdu);
    void answer(std::span<const std::uint8_t> response);
    void event(std::string_view text);

private:
    void line(char marker, std::string_view text);

    struct Closer {
        void operator()(std::FILE* f) const { std::fclose(f); }
    };
    std::unique_ptr<std::FILE, Closer> file_;
};

} // namespace simcard
