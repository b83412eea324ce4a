#pragma once

#include "editor/sim/CardPort.h"

#include <memory>
#include <string>

namespace tarvik {

// Opens a card port on a named reader, each with a connection of its own: what a run over
// many readers needs, one port per reader. Tests put cards in memory behind it.
class ReaderPorts {
public:
    virtual ~ReaderPorts() = default;
    // A port on `reader`; it connects on its connect(). Safe to call from any thread.
    virtual std::unique_ptr<CardPort> open(const std::string& reader) = 0;
};

// Ports over the card library, each with a library session of its own (ReaderCardPort).
class QuenlibReaderPorts final : public ReaderPorts {
public:
    std::unique_ptr<CardPort> open(const std::string& reader) override;
};

} // namespace tarvik
