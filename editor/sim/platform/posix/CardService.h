#pragma once

// The card service the readers are listed and watched through: pcsc-lite, whose calls take
// 8-bit reader names under the plain names.
#include <PCSC/winscard.h>
#include <PCSC/wintypes.h>
#include <string>

namespace tarvik::pcsc {

using ReaderState = SCARD_READERSTATE;

inline LONG ListReaders(SCARDCONTEXT context, LPSTR names, LPDWORD length) {
    return SCardListReaders(context, nullptr, names, length);
}

inline LONG GetStatusChange(SCARDCONTEXT context, DWORD timeout, ReaderState* states, DWORD count) {
    return SCardGetStatusChange(context, timeout, states, count);
}

// What a return code means, for messages.
inline std::string ErrorText(LONG code) {
    return pcsc_stringify_error(code);
}

} // namespace tarvik::pcsc
