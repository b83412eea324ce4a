#include "tools/simcard/core/CommandLog.h"

#include "base/Hex.h"

#include <stdexcept>
#include <string>

namespace simcard {

CommandLog::CommandLog(const std::filesystem::path& path) {
    if (path.empty())
        return;
    file_.reset(std::fopen(path.string().c_str(), "ae"));
    if (!file_)
        throw std::runtime_error("cannot open command log " + path.string());
}

void CommandLog::command(std::span<const std::uint8_t> apdu) {
    line('>', tarvik::ToHex(apdu, tarvik::HexSpacing::Spaced));
}

void CommandLog::answer(std::span<const std::uint8_t> response) {
    line('<', tarvik::ToHex(response, tarvik::HexSpacing::Spaced));
}

void CommandLog::event(std::string_view text) {
    line('#', text);
}

void CommandLog::line(char marker, std::string_view text) {
    if (!file_)
        return;
    std::fprintf(file_.get(), "%c %.*s\n", marker, static_cast<int>(text.size()), text.data());
    std::fflush(file_.get());
}

} // namespace simcard
