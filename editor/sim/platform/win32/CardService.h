#pragma once

// The card service the readers are listed and watched through: Windows' winscard.dll. Reader
// names cross it as 8-bit text through the "A" entry points, as the card library takes them.
#include <cstdio>
#include <string>
#include <windows.h>
#include <winscard.h>

namespace tarvik::pcsc {

using ReaderState = SCARD_READERSTATEA;

inline LONG ListReaders(SCARDCONTEXT context, LPSTR names, LPDWORD length) {
    return SCardListReadersA(context, nullptr, names, length);
}

inline LONG GetStatusChange(SCARDCONTEXT context, DWORD timeout, ReaderState* states, DWORD count) {
    return SCardGetStatusChangeA(context, timeout, states, count);
}

// What a return code means, for messages: the codes a listing or a watch meets by their
// meaning, any other by its number.
inline std::string ErrorText(LONG code) {
    switch (code) {
    case SCARD_S_SUCCESS:
        return "Command successful.";
    case SCARD_E_CANCELLED:
        return "Command cancelled.";
    case SCARD_E_INVALID_HANDLE:
        return "Invalid handle.";
    case SCARD_E_INVALID_PARAMETER:
        return "Invalid parameter given.";
    case SCARD_E_NO_MEMORY:
        return "Not enough memory.";
    case SCARD_E_TIMEOUT:
        return "Command timeout.";
    case SCARD_E_UNKNOWN_READER:
        return "Unknown reader specified.";
    case SCARD_E_READER_UNAVAILABLE:
        return "Reader is unavailable.";
    case SCARD_E_NO_SERVICE:
        return "Service not available.";
    case SCARD_E_SERVICE_STOPPED:
        return "Service was stopped.";
    case SCARD_E_NO_READERS_AVAILABLE:
        return "Cannot find a smart card reader.";
    default:
        break;
    }
    char text[32];
    std::snprintf(text, sizeof text, "error 0x%08lX", static_cast<unsigned long>(code));
    return text;
}

} // namespace tarvik::pcsc
