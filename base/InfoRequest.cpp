#include "base/InfoRequest.h"

namespace tarvik {

bool AnswerInfoRequest(std::span<const std::string> args, const ProgramInfo& info,
                       std::ostream& out) {
    if (args.size() != 1) {
        return false;
    }
    if (args[0] == "--help") {
        out << info.help;
    } else if (args[0] == "--version") {
        out << info.name << ' ' << info.version << '\n';
    } else {
        return false;
    }
    out.flush();
    return true;
}

} // namespace tarvik
