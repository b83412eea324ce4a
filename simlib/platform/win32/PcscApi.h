#pragma once

// Windows' card service (winscard.dll). Reader names cross it as 8-bit text through the "A"
// entry points, as pcsc-lite gives them, whatever UNICODE says.
#include <windows.h>
#include <winscard.h>

namespace quenlib::pcsc {

using ReaderState = SCARD_READERSTATEA;

inline LONG ListReaders(SCARDCONTEXT context, LPSTR names, LPDWORD length) {
    return SCardListReadersA(context, nullptr, names, length);
}

inline LONG GetStatusChange(SCARDCONTEXT context, DWORD timeout, ReaderState* states, DWORD count) {
    return SCardGetStatusChangeA(context, timeout, states, count);
}

inline LONG Connect(SCARDCONTEXT context, LPCSTR reader, DWORD share, DWORD protocols,
                    LPSCARDHANDLE card, LPDWORD activeProtocol) {
    return SCardConnectA(context, reader, share, protocols, card, activeProtocol);
}

inline LONG Status(SCARDHANDLE card, LPDWORD state, LPDWORD protocol) {
    DWORD nameLength = 0;
    DWORD atrLength = 0;
    return SCardStatusA(card, nullptr, &nameLength, state, protocol, nullptr, &atrLength);
}

} // namespace quenlib::pcsc
