#include "editor/sim/ReaderList.h"

#include "CardService.h"

#include <string>
#include <vector>

namespace tarvik {
namespace {

// A PC/SC context released with its owner.
class PcscContext {
public:
    PcscContext() { result_ = SCardEstablishContext(SCARD_SCOPE_USER, nullptr, nullptr, &handle_); }
    PcscContext(const PcscContext&) = delete;
    PcscContext& operator=(const PcscContext&) = delete;
    ~PcscContext() {
        if (result_ == SCARD_S_SUCCESS) {
            SCardReleaseContext(handle_);
        }
    }
    LONG result() const { return result_; }
    SCARDCONTEXT handle() const { return handle_; }

private:
    SCARDCONTEXT handle_ = 0;
    LONG result_ = SCARD_E_NO_SERVICE;
};

// The reader names, from the multi-string the service gives.
std::vector<std::string> SplitMultiString(const std::string& buffer) {
    std::vector<std::string> names;
    for (std::size_t pos = 0; pos < buffer.size() && buffer[pos] != '\0';) {
        const auto end = buffer.find('\0', pos);
        names.push_back(buffer.substr(pos, end - pos));
        pos = end == std::string::npos ? buffer.size() : end + 1;
    }
    return names;
}

} // namespace

ReaderListing ListReaders() {
    ReaderListing listing;
    PcscContext context;
    if (context.result() != SCARD_S_SUCCESS) {
        listing.error = "no PC/SC service: " + pcsc::ErrorText(context.result());
        listing.noService = context.result() == SCARD_E_NO_SERVICE;
        return listing;
    }
    // The list may grow between the two calls; ask again while it does.
    std::string buffer;
    LONG result = SCARD_E_INSUFFICIENT_BUFFER;
    for (int attempt = 0; attempt < 3 && result == SCARD_E_INSUFFICIENT_BUFFER; ++attempt) {
        DWORD size = 0;
        result = pcsc::ListReaders(context.handle(), nullptr, &size);
        if (result != SCARD_S_SUCCESS) {
            break;
        }
        buffer.assign(size, '\0');
        result = pcsc::ListReaders(context.handle(), buffer.data(), &size);
        buffer.resize(result == SCARD_S_SUCCESS ? size : 0);
    }
    if (result == SCARD_E_NO_READERS_AVAILABLE) {
        return listing;
    }
    if (result != SCARD_S_SUCCESS) {
        listing.error = "cannot list the card readers: " + pcsc::ErrorText(result);
        listing.noService = result == SCARD_E_NO_SERVICE;
        return listing;
    }

    const std::vector<std::string> names = SplitMultiString(buffer);
    std::vector<pcsc::ReaderState> states(names.size());
    for (std::size_t i = 0; i < names.size(); ++i) {
        states[i].szReader = names[i].c_str();
        states[i].dwCurrentState = SCARD_STATE_UNAWARE;
    }
    const bool known = !states.empty() &&
                       pcsc::GetStatusChange(context.handle(), 0, states.data(),
                                             static_cast<DWORD>(states.size())) == SCARD_S_SUCCESS;
    for (std::size_t i = 0; i < names.size(); ++i) {
        const bool present = known && (states[i].dwEventState & SCARD_STATE_PRESENT) != 0;
        listing.readers.push_back({names[i], present});
    }
    return listing;
}

} // namespace tarvik
