#include "ReaderName.h"

#include <cstdlib>
#include <vector>

namespace quenlib {

std::string configuredReaderName() {
    const char* value = std::getenv("QUENLIB_READER");
    return value != nullptr && *value != '\0' ? std::string(value)
                                              : std::string(kDefaultReaderName);
}

std::optional<std::string> resolveReaderName(CardBackend& backend, ContextHandle context,
                                             const std::string& configured, PcscCode& failure) {
    failure = kPcscSuccess;
    if (configured != kAnyReader) {
        return configured;
    }
    std::vector<std::string> readers;
    failure = backend.listReaders(context, readers);
    if (failure != kPcscSuccess) {
        return std::nullopt;
    }
    for (const std::string& reader : readers) {
        bool present = false;
        if (backend.cardPresent(context, reader, present) == kPcscSuccess && present) {
            return reader;
        }
    }
    failure = readers.empty() ? kPcscNoReadersAvailable : kPcscNoSmartcard;
    return std::nullopt;
}

} // namespace quenlib
