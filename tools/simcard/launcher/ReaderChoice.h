#pragma once

#include "tools/simcard/fixture/CardStack.h"

#include <optional>
#include <string>
#include <vector>

namespace simcard {

// The first reader that holds a card and is not one of the virtual readers.
std::optional<std::string> RealCardReader(const std::vector<std::string>& readers,
                                          const std::vector<bool>& holdingCards,
                                          const std::vector<ReaderSlot>& virtualSlots);

// The vpcd reader slots among readers: those of the system's reader configuration
// (/etc/reader.conf.d) and those of the private pcscd of `stack`.
std::vector<ReaderSlot> VirtualReaderSlots(const CardStack& stack,
                                           const std::vector<std::string>& readers);

} // namespace simcard
