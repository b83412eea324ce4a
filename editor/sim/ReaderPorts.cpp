#include "editor/sim/ReaderPorts.h"

#include "editor/sim/ReaderCardPort.h"

namespace tarvik {

std::unique_ptr<CardPort> QuenlibReaderPorts::open(const std::string& reader) {
    return std::make_unique<ReaderCardPort>(reader);
}

} // namespace tarvik
