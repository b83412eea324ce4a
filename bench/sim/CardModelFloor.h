#pragma once

// The floor a program can reach on a modelled card: the sum of the card timing model's
// durations over the commands the card answered, read from the virtual card's command log
// ("> " command, "< " answer). Also the timing the benchmark's own arguments ask for.
#include "base/Hex.h"
#include "tools/simcard/core/Bytes.h"
#include "tools/simcard/core/CardTiming.h"
#include "tools/simcard/core/Options.h"

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace bench {

// The modelled time of the commands logged from `offset` on, split into the updates (with
// their writes) and everything else, the reads.
struct ModelTime {
    std::chrono::nanoseconds reads{};
    std::chrono::nanoseconds updates{};
    std::chrono::nanoseconds total() const { return reads + updates; }
};

class CardModelFloor {
public:
    CardModelFloor(std::filesystem::path log, simcard::CardTiming timing)
        : log_(std::move(log)), timing_(timing) {}

    // From here on.
    void mark() {
        std::error_code ignored;
        offset_ = std::filesystem::file_size(log_, ignored);
    }

    ModelTime sinceMark() const {
        std::ifstream in(log_);
        in.seekg(static_cast<std::streamoff>(offset_));
        ModelTime time;
        std::optional<simcard::Bytes> command;
        for (std::string line; std::getline(in, line);) {
            if (line.starts_with("> ")) {
                command =
                    tarvik::FromHex(std::string_view(line).substr(2), tarvik::HexSpacing::Spaced);
            } else if (line.starts_with("< ") && command) {
                const auto answer =
                    tarvik::FromHex(std::string_view(line).substr(2), tarvik::HexSpacing::Spaced);
                const auto duration =
                    CommandDuration(timing_, *command, answer.value_or(simcard::Bytes{}));
                const bool update =
                    command->size() > 1 && ((*command)[1] == 0xDC || (*command)[1] == 0xD6);
                (update ? time.updates : time.reads) += duration;
                command.reset();
            }
        }
        return time;
    }

private:
    std::filesystem::path log_;
    simcard::CardTiming timing_;
    std::uintmax_t offset_ = 0;
};

// The benchmark's own arguments after Google Benchmark took its flags: simcard's timing
// options (--timing real, --baud N, --write-ms N), checked by simcard's parser. Prints the
// error and returns nothing when they are refused.
inline std::optional<simcard::Options> TimingArguments(int argc, char** argv) {
    std::vector<std::string_view> arguments(argv + 1, argv + argc);
    for (auto argument : arguments) {
        const auto name = argument.substr(0, argument.find('='));
        if (name.starts_with("--") && name != "--timing" && name != "--baud" &&
            name != "--write-ms") {
            std::fprintf(stderr, "unknown option '%.*s'\n", static_cast<int>(argument.size()),
                         argument.data());
            return std::nullopt;
        }
    }
    auto parsed = simcard::ParseArguments(arguments);
    if (!parsed.error.empty()) {
        std::fprintf(stderr, "%s (this benchmark takes --timing, --baud and --write-ms)\n",
                     parsed.error.c_str());
        return std::nullopt;
    }
    return parsed.options;
}

inline double Ms(std::chrono::nanoseconds time) {
    return std::chrono::duration<double, std::milli>(time).count();
}

} // namespace bench
