#include "simlib/PcscBackend.h"

#include "PcscApi.h"

#include <algorithm>

namespace quenlib {

namespace {

PcscCode Code(LONG result) {
    return static_cast<PcscCode>(result);
}

const SCARD_IO_REQUEST* ProtocolRecord(Protocol protocol) {
    switch (protocol) {
    case Protocol::T0:
        return SCARD_PCI_T0;
    case Protocol::T1:
        return SCARD_PCI_T1;
    case Protocol::Raw:
        return SCARD_PCI_RAW;
    case Protocol::Undefined:
        break;
    }
    return nullptr;
}

} // namespace

PcscCode PcscBackend::establishContext(ContextHandle& context) {
    SCARDCONTEXT handle = 0;
    const LONG result = SCardEstablishContext(SCARD_SCOPE_USER, nullptr, nullptr, &handle);
    context = handle;
    return Code(result);
}

PcscCode PcscBackend::releaseContext(ContextHandle context) {
    return Code(SCardReleaseContext(static_cast<SCARDCONTEXT>(context)));
}

PcscCode PcscBackend::listReaders(ContextHandle context, std::vector<std::string>& readers) {
    readers.clear();
    const auto handle = static_cast<SCARDCONTEXT>(context);
    DWORD length = 0;
    LONG result = pcsc::ListReaders(handle, nullptr, &length);
    if (result != SCARD_S_SUCCESS) {
        return Code(result);
    }
    std::string names(length, '\0');
    result = pcsc::ListReaders(handle, names.data(), &length);
    if (result != SCARD_S_SUCCESS) {
        return Code(result);
    }
    names.resize(std::min<std::size_t>(length, names.size()));
    // A multi-string: names separated by 0 bytes, ended by an empty name.
    std::size_t start = 0;
    while (start < names.size()) {
        const std::size_t end = names.find('\0', start);
        const std::size_t stop = end == std::string::npos ? names.size() : end;
        if (stop == start) {
            break;
        }
        readers.push_back(names.substr(start, stop - start));
        start = stop + 1;
    }
    return kPcscSuccess;
}

PcscCode PcscBackend::readerStatus(ContextHandle context, const std::string& reader,
                                   ReaderStatus& status) {
    pcsc::ReaderState state{};
    state.szReader = reader.c_str();
    state.dwCurrentState = SCARD_STATE_UNAWARE;
    const LONG result = pcsc::GetStatusChange(static_cast<SCARDCONTEXT>(context), 0, &state, 1);
    // A timeout only says that nothing changed; the state read is still valid.
    const bool valid = result == SCARD_S_SUCCESS || result == SCARD_E_TIMEOUT;
    status.present = valid && (state.dwEventState & SCARD_STATE_PRESENT) != 0;
    status.empty = !valid || (state.dwEventState & SCARD_STATE_EMPTY) != 0;
    const std::size_t atrLength = std::min<std::size_t>(state.cbAtr, sizeof state.rgbAtr);
    status.atr.assign(state.rgbAtr, state.rgbAtr + (valid ? atrLength : 0));
    return valid ? kPcscSuccess : Code(result);
}

PcscCode PcscBackend::connect(ContextHandle context, const std::string& reader, ShareMode mode,
                              CardHandle& card, Protocol& activeProtocol) {
    SCARDHANDLE handle = 0;
    DWORD protocol = SCARD_PROTOCOL_UNDEFINED;
    const DWORD share = mode == ShareMode::Exclusive ? SCARD_SHARE_EXCLUSIVE : SCARD_SHARE_SHARED;
    const LONG result = pcsc::Connect(static_cast<SCARDCONTEXT>(context), reader.c_str(), share,
                                      SCARD_PROTOCOL_T0 | SCARD_PROTOCOL_T1, &handle, &protocol);
    card = handle;
    switch (protocol) {
    case SCARD_PROTOCOL_T0:
        activeProtocol = Protocol::T0;
        break;
    case SCARD_PROTOCOL_T1:
        activeProtocol = Protocol::T1;
        break;
    case SCARD_PROTOCOL_RAW:
        activeProtocol = Protocol::Raw;
        break;
    default:
        activeProtocol = Protocol::Undefined;
        break;
    }
    return Code(result);
}

PcscCode PcscBackend::disconnect(CardHandle card, Disposition disposition) {
    const DWORD how = disposition == Disposition::EjectCard ? SCARD_EJECT_CARD : SCARD_LEAVE_CARD;
    return Code(SCardDisconnect(static_cast<SCARDHANDLE>(card), how));
}

PcscCode PcscBackend::transmit(CardHandle card, Protocol protocol,
                               std::span<const std::uint8_t> command,
                               std::span<std::uint8_t> receive, std::size_t& received) {
    auto length = static_cast<DWORD>(receive.size());
    const LONG result =
        SCardTransmit(static_cast<SCARDHANDLE>(card), ProtocolRecord(protocol), command.data(),
                      static_cast<DWORD>(command.size()), nullptr, receive.data(), &length);
    received = result == SCARD_S_SUCCESS ? std::min<std::size_t>(length, receive.size()) : 0;
    return Code(result);
}

} // namespace quenlib
