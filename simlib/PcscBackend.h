#pragma once

#include "simlib/CardBackend.h"

namespace quenlib {

// The card backend over pcsc-lite.
class PcscBackend final : public CardBackend {
public:
    PcscCode establishContext(ContextHandle& context) override;
    PcscCode releaseContext(ContextHandle context) override;
    PcscCode listReaders(ContextHandle context, std::vector<std::string>& readers) override;
    PcscCode readerStatus(ContextHandle context, const std::string& reader,
                          ReaderStatus& status) override;
    PcscCode connect(ContextHandle context, const std::string& reader, ShareMode mode,
                     CardHandle& card, Protocol& activeProtocol) override;
    PcscCode disconnect(CardHandle card, Disposition disposition) override;
    PcscCode transmit(CardHandle card, Protocol protocol, std::span<const std::uint8_t> command,
                      std::span<std::uint8_t> receive, std::size_t& received) override;
};

} // namespace quenlib
