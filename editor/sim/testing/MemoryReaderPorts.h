#pragma once

#include "editor/sim/ReaderPorts.h"
#include "editor/sim/testing/MemoryCardPort.h"

#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace tarvik::testing {

// Readers with cards in memory behind the reader ports: one MemoryCardPort a reader, made
// when the reader is first named. A port opened on a reader reaches that reader's card, so
// a test plants records and faults on card(name) and reads them back there.
class MemoryReaderPorts final : public ReaderPorts {
public:
    // The card in `reader`.
    MemoryCardPort& card(const std::string& reader);
    std::unique_ptr<CardPort> open(const std::string& reader) override;
    // The readers ports were opened on, in order.
    std::vector<std::string> opened() const;

private:
    mutable std::mutex mutex_;
    std::map<std::string, std::unique_ptr<MemoryCardPort>> cards_;
    std::vector<std::string> opened_;
};

} // namespace tarvik::testing
