#pragma once

// pcsc-lite's card service. Its calls take 8-bit reader names under the plain names.
#include <PCSC/winscard.h>

namespace quenlib::pcsc {

using ReaderState = SCARD_READERSTATE;

inline LONG ListReaders(SCARDCONTEXT context, LPSTR names, LPDWORD length) {
    return SCardListReaders(context, nullptr, names, length);
}

inline LONG GetStatusChange(SCARDCONTEXT context, DWORD timeout, ReaderState* states, DWORD count) {
    return SCardGetStatusChange(context, timeout, states, count);
}

inline LONG Connect(SCARDCONTEXT context, LPCSTR reader, DWORD share, DWORD protocols,
                    LPSCARDHANDLE card, LPDWORD activeProtocol) {
    return SCardConnect(context, reader, share, protocols, card, activeProtocol);
}

inline LONG Status(SCARDHANDLE card, LPDWORD state, LPDWORD protocol) {
    DWORD nameLength = 0;
    DWORD atrLength = 0;
    return SCardStatus(card, nullptr, &nameLength, state, protocol, nullptr, &atrLength);
}

} // namespace quenlib::pcsc
