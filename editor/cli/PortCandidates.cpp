// The serial ports that completion offers, apart from the rest of completion: only a build
// with the modem library has them.
#include "editor/cli/Completion.h"
#include "modem/ModemScan.h"

namespace tarvik::cli {

std::vector<std::string> PortCandidates() {
    std::vector<std::string> words;
    for (const auto& port : modem::CandidatePorts()) {
        words.push_back(port);
    }
    return words;
}

} // namespace tarvik::cli
