#include "tools/simcard/launcher/ReaderChoice.h"

#include "tools/simcard/fixture/ProcessEnvironment.h"

#include <algorithm>
#include <filesystem>

namespace simcard {

std::optional<std::string> RealCardReader(const std::vector<std::string>& readers,
                                          const std::vector<bool>& holdingCards,
                                          const std::vector<ReaderSlot>& virtualSlots) {
    for (std::size_t i = 0; i < readers.size() && i < holdingCards.size(); ++i) {
        const bool isVirtual =
            std::any_of(virtualSlots.begin(), virtualSlots.end(),
                        [&](const ReaderSlot& slot) { return slot.name == readers[i]; });
        if (holdingCards[i] && !isVirtual)
            return readers[i];
    }
    return std::nullopt;
}

std::vector<ReaderSlot> VirtualReaderSlots(const CardStack& stack,
                                           const std::vector<std::string>& readers) {
    std::vector<VpcdEntry> entries = stack.privateEntries();
    std::error_code error;
    for (const auto& file : std::filesystem::directory_iterator("/etc/reader.conf.d", error)) {
        const auto found = ParseReaderConf(ReadWholeFile(file.path()));
        entries.insert(entries.end(), found.begin(), found.end());
    }
    return MatchSlots(entries, readers);
}

} // namespace simcard
