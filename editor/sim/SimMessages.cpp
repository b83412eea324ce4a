#include "editor/sim/SimMessages.h"

namespace tarvik {

std::string ProgressCaption(int record, int count) {
    return "SIM " + std::to_string(record) + " / " + std::to_string(count);
}

} // namespace tarvik
