#include "simlib/ReaderName.h"

#include <cstdlib>
#include <vector>

namespace quenlib {

namespace {

#ifdef QUENLIB_DEFAULT_READER
constexpr const char* kDefaultReaderName = QUENLIB_DEFAULT_READER;
#else
constexpr const char* kDefaultReaderName = kAnyReader;
#endif

} // namespace

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
        ReaderStatus status;
        if (backend.readerStatus(context, reader, status) == kPcscSuccess && status.present) {
            return reader;
        }
    }
    failure = readers.empty() ? kPcscNoReadersAvailable : kPcscNoSmartcard;
    return std::nullopt;
}

} // namespace quenlib
