#include "editor/cli/ReaderChoice.h"

#include <algorithm>

namespace tarvik::cli {

ReaderChoice ChooseReaders(std::string_view given, const std::vector<std::string>& listed) {
    ReaderChoice choice;
    if (given == "all") {
        choice.readers = listed;
        if (listed.empty()) {
            choice.error = "no card readers";
        }
        return choice;
    }
    const auto known = [&](std::string_view name) {
        return std::find(listed.begin(), listed.end(), name) != listed.end();
    };
    for (std::size_t start = 0; start <= given.size();) {
        const std::size_t comma = std::min(given.find(',', start), given.size());
        const std::string name(given.substr(start, comma - start));
        start = comma + 1;
        if (name.empty()) {
            choice.error = "--readers: an empty reader name in '" + std::string(given) + "'";
            return choice;
        }
        if (!known(name)) {
            choice.error = "no reader '" + name + "'";
            return choice;
        }
        if (std::find(choice.readers.begin(), choice.readers.end(), name) == choice.readers.end()) {
            choice.readers.push_back(name);
        }
    }
    return choice;
}

} // namespace tarvik::cli
