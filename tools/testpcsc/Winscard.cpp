// The test card service: winscard's entry points over one reader whose card is the virtual
// card connected through CardLink. Wine's own winscard.dll answers nothing, so card tests
// under wine load this one from the program's folder. Return codes and states are those
// winscard gives (the values of scarderr.h and winsmcrd.h).
#define WINSCARDDATA __declspec(dllexport)
#include "tools/testpcsc/CardLink.h"

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <cstring>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <windows.h>
#include <winscard.h>

extern "C" {
const SCARD_IO_REQUEST g_rgSCardT0Pci = {SCARD_PROTOCOL_T0, sizeof(SCARD_IO_REQUEST)};
const SCARD_IO_REQUEST g_rgSCardT1Pci = {SCARD_PROTOCOL_T1, sizeof(SCARD_IO_REQUEST)};
const SCARD_IO_REQUEST g_rgSCardRawPci = {SCARD_PROTOCOL_RAW, sizeof(SCARD_IO_REQUEST)};
}

namespace {

using testpcsc::Bytes;

constexpr char kReaderName[] = "Tarvik Test Reader 0";
constexpr wchar_t kReaderNameW[] = L"Tarvik Test Reader 0";
// The card the test started is in the reader from the start: the first context waits this
// long for it to connect.
constexpr unsigned kFirstCardWaitMs = 5000;
constexpr unsigned kPollMs = 20;

// vpcd's control codes.
constexpr std::uint8_t kPowerOff = 0x00;
constexpr std::uint8_t kPowerOn = 0x01;
constexpr std::uint8_t kReset = 0x02;
constexpr std::uint8_t kGetAtr = 0x04;

struct Reader {
    std::mutex mutex;
    testpcsc::CardLink link;
    bool listening = false;
    Bytes atr;          // of the card now in the reader, empty when none
    DWORD protocol = 0; // of the open card handle, 0 when none
    std::set<SCARDCONTEXT> contexts;
    // Open card handles: a handle outlives its card, and answers SCARD_W_REMOVED_CARD once
    // the card it was opened on (by insertion) has gone.
    struct OpenCard {
        unsigned insertion = 0;
        bool exclusive = false;
    };
    std::map<SCARDHANDLE, OpenCard> cards;
    std::uintptr_t nextHandle = 0x1000;
    unsigned insertions = 0; // the event count in the high word of a reader's state
    std::atomic<bool> cancelled{false};
};

Reader& TheReader() {
    static Reader reader;
    return reader;
}

// Powers a newly connected card and learns its ATR, as vpcd does on insertion.
void Refresh(Reader& reader, unsigned milliseconds) {
    const bool wasPresent = reader.link.cardPresent();
    if (!reader.link.refresh(milliseconds)) {
        reader.atr.clear();
        return;
    }
    if (!wasPresent || reader.atr.empty()) {
        const std::uint8_t on[] = {kPowerOn};
        const std::uint8_t atr[] = {kGetAtr};
        auto answer =
            reader.link.exchange(on, false) ? reader.link.exchange(atr, true) : std::nullopt;
        reader.atr = answer ? *answer : Bytes{};
        ++reader.insertions;
    }
}

DWORD ReaderEventState(const Reader& reader) {
    DWORD state = reader.atr.empty() ? SCARD_STATE_EMPTY : SCARD_STATE_PRESENT;
    const bool inUse = std::any_of(reader.cards.begin(), reader.cards.end(), [&](const auto& card) {
        return card.second.insertion == reader.insertions;
    });
    if (!reader.atr.empty() && inUse) {
        state |= SCARD_STATE_INUSE;
    }
    return state | static_cast<DWORD>(reader.insertions & 0xFFFF) << 16;
}

bool ValidContext(const Reader& reader, SCARDCONTEXT context) {
    return reader.contexts.count(context) != 0;
}

// Fills a multi-string of the one reader, honouring the length protocol of the list calls.
template <typename Char, std::size_t N>
LONG ListReaders(SCARDCONTEXT context, const Char (&name)[N], Char* names, LPDWORD length) {
    Reader& reader = TheReader();
    std::lock_guard lock(reader.mutex);
    if (!ValidContext(reader, context)) {
        return SCARD_E_INVALID_HANDLE;
    }
    if (length == nullptr) {
        return SCARD_E_INVALID_PARAMETER;
    }
    const DWORD needed = N + 1; // the name, its 0 and the list's closing 0
    Char* out = names;
    if (names != nullptr && *length == SCARD_AUTOALLOCATE) {
        out = static_cast<Char*>(std::calloc(needed, sizeof(Char)));
        *reinterpret_cast<Char**>(names) = out;
    } else if (names != nullptr && *length < needed) {
        *length = needed;
        return SCARD_E_INSUFFICIENT_BUFFER;
    }
    *length = needed;
    if (out != nullptr) {
        std::copy(name, name + N, out);
        out[N] = 0;
    }
    return SCARD_S_SUCCESS;
}

template <typename Char, std::size_t N>
bool IsOurReader(const Char* asked, const Char (&name)[N]) {
    return asked != nullptr && std::equal(name, name + N, asked);
}

template <typename State, typename Char, std::size_t N>
LONG GetStatusChange(SCARDCONTEXT context, DWORD timeout, State* states, DWORD count,
                     const Char (&name)[N]) {
    Reader& reader = TheReader();
    const DWORD start = ::GetTickCount();
    for (;;) {
        {
            std::lock_guard lock(reader.mutex);
            if (!ValidContext(reader, context)) {
                return SCARD_E_INVALID_HANDLE;
            }
            if (reader.cancelled.exchange(false)) {
                return SCARD_E_CANCELLED;
            }
            Refresh(reader, 0);
            bool changed = false;
            for (DWORD i = 0; i < count; ++i) {
                State& state = states[i];
                if (!IsOurReader(state.szReader, name)) {
                    // Unknown readers and the plug-and-play pseudo reader never change.
                    state.dwEventState = state.dwCurrentState & ~SCARD_STATE_CHANGED;
                    continue;
                }
                const DWORD now = ReaderEventState(reader);
                const DWORD known = state.dwCurrentState & ~SCARD_STATE_CHANGED;
                state.cbAtr = static_cast<DWORD>(std::min(reader.atr.size(), sizeof state.rgbAtr));
                std::copy_n(reader.atr.begin(), state.cbAtr, state.rgbAtr);
                if (known != now) {
                    state.dwEventState = now | SCARD_STATE_CHANGED;
                    changed = true;
                } else {
                    state.dwEventState = now;
                }
            }
            if (changed) {
                return SCARD_S_SUCCESS;
            }
        }
        if (timeout != INFINITE && ::GetTickCount() - start >= timeout) {
            return SCARD_E_TIMEOUT;
        }
        ::Sleep(kPollMs);
    }
}

template <typename Char, std::size_t N>
LONG Connect(SCARDCONTEXT context, const Char* readerName, const Char (&name)[N], DWORD share,
             DWORD preferredProtocols, LPSCARDHANDLE card, LPDWORD activeProtocol) {
    Reader& reader = TheReader();
    std::lock_guard lock(reader.mutex);
    if (!ValidContext(reader, context)) {
        return SCARD_E_INVALID_HANDLE;
    }
    if (card == nullptr || activeProtocol == nullptr) {
        return SCARD_E_INVALID_PARAMETER;
    }
    if (!IsOurReader(readerName, name)) {
        return SCARD_E_UNKNOWN_READER;
    }
    Refresh(reader, 0);
    if (reader.atr.empty()) {
        return SCARD_E_NO_SMARTCARD;
    }
    // An exclusive connection shuts out every other, as another's excludes it.
    const bool exclusive = share == SCARD_SHARE_EXCLUSIVE;
    for (const auto& [handle, open] : reader.cards) {
        if (open.insertion == reader.insertions && (exclusive || open.exclusive)) {
            return SCARD_E_SHARING_VIOLATION;
        }
    }
    // The virtual card speaks T=0; a caller that wants only T=1 gets it as the transport.
    if ((preferredProtocols & (SCARD_PROTOCOL_T0 | SCARD_PROTOCOL_T1)) == 0) {
        return SCARD_E_PROTO_MISMATCH;
    }
    reader.protocol =
        (preferredProtocols & SCARD_PROTOCOL_T0) != 0 ? SCARD_PROTOCOL_T0 : SCARD_PROTOCOL_T1;
    *card = reader.nextHandle++;
    reader.cards[*card] = {reader.insertions, exclusive};
    *activeProtocol = reader.protocol;
    return SCARD_S_SUCCESS;
}

// A handle of a card that has gone since it was opened.
LONG CardHandleState(Reader& reader, SCARDHANDLE card) {
    const auto open = reader.cards.find(card);
    if (open == reader.cards.end()) {
        return SCARD_E_INVALID_HANDLE;
    }
    Refresh(reader, 0);
    return reader.atr.empty() || open->second.insertion != reader.insertions ? SCARD_W_REMOVED_CARD
                                                                             : SCARD_S_SUCCESS;
}

} // namespace

extern "C" {

LONG WINAPI SCardEstablishContext(DWORD scope, LPCVOID, LPCVOID, LPSCARDCONTEXT context) {
    Reader& reader = TheReader();
    std::lock_guard lock(reader.mutex);
    if (context == nullptr) {
        return SCARD_E_INVALID_PARAMETER;
    }
    if (scope != SCARD_SCOPE_USER && scope != SCARD_SCOPE_SYSTEM) {
        return SCARD_E_INVALID_VALUE;
    }
    if (!reader.listening) {
        const char* port = std::getenv("TARVIK_TEST_PCSC_PORT");
        const long number = port != nullptr ? std::strtol(port, nullptr, 10) : 0;
        if (number <= 0 || number > 0xFFFF ||
            !reader.link.listen(static_cast<std::uint16_t>(number))) {
            return SCARD_E_NO_SERVICE;
        }
        reader.listening = true;
        Refresh(reader, kFirstCardWaitMs);
    }
    *context = reader.nextHandle++;
    reader.contexts.insert(*context);
    return SCARD_S_SUCCESS;
}

LONG WINAPI SCardReleaseContext(SCARDCONTEXT context) {
    Reader& reader = TheReader();
    std::lock_guard lock(reader.mutex);
    return reader.contexts.erase(context) != 0 ? SCARD_S_SUCCESS : SCARD_E_INVALID_HANDLE;
}

LONG WINAPI SCardIsValidContext(SCARDCONTEXT context) {
    Reader& reader = TheReader();
    std::lock_guard lock(reader.mutex);
    return ValidContext(reader, context) ? SCARD_S_SUCCESS : SCARD_E_INVALID_HANDLE;
}

LONG WINAPI SCardListReadersA(SCARDCONTEXT context, LPCSTR, LPSTR names, LPDWORD length) {
    return ListReaders(context, kReaderName, names, length);
}

LONG WINAPI SCardListReadersW(SCARDCONTEXT context, LPCWSTR, LPWSTR names, LPDWORD length) {
    return ListReaders(context, kReaderNameW, names, length);
}

LONG WINAPI SCardFreeMemory(SCARDCONTEXT, LPCVOID memory) {
    std::free(const_cast<void*>(memory));
    return SCARD_S_SUCCESS;
}

LONG WINAPI SCardGetStatusChangeA(SCARDCONTEXT context, DWORD timeout, LPSCARD_READERSTATEA states,
                                  DWORD count) {
    return GetStatusChange(context, timeout, states, count, kReaderName);
}

LONG WINAPI SCardGetStatusChangeW(SCARDCONTEXT context, DWORD timeout, LPSCARD_READERSTATEW states,
                                  DWORD count) {
    return GetStatusChange(context, timeout, states, count, kReaderNameW);
}

LONG WINAPI SCardCancel(SCARDCONTEXT context) {
    Reader& reader = TheReader();
    if (SCardIsValidContext(context) != SCARD_S_SUCCESS) {
        return SCARD_E_INVALID_HANDLE;
    }
    reader.cancelled = true;
    return SCARD_S_SUCCESS;
}

LONG WINAPI SCardConnectA(SCARDCONTEXT context, LPCSTR readerName, DWORD share, DWORD protocols,
                          LPSCARDHANDLE card, LPDWORD activeProtocol) {
    return Connect(context, readerName, kReaderName, share, protocols, card, activeProtocol);
}

LONG WINAPI SCardConnectW(SCARDCONTEXT context, LPCWSTR readerName, DWORD share, DWORD protocols,
                          LPSCARDHANDLE card, LPDWORD activeProtocol) {
    return Connect(context, readerName, kReaderNameW, share, protocols, card, activeProtocol);
}

LONG WINAPI SCardDisconnect(SCARDHANDLE card, DWORD disposition) {
    Reader& reader = TheReader();
    std::lock_guard lock(reader.mutex);
    const LONG state = CardHandleState(reader, card);
    reader.cards.erase(card);
    if (state == SCARD_E_INVALID_HANDLE) {
        return state;
    }
    const bool reset = disposition == SCARD_RESET_CARD || disposition == SCARD_UNPOWER_CARD;
    if (state == SCARD_S_SUCCESS && reset) {
        const std::uint8_t control[] = {disposition == SCARD_RESET_CARD ? kReset : kPowerOff};
        reader.link.exchange(control, false);
        if (disposition == SCARD_UNPOWER_CARD) {
            const std::uint8_t on[] = {kPowerOn};
            reader.link.exchange(on, false);
        }
    }
    return SCARD_S_SUCCESS;
}

LONG WINAPI SCardBeginTransaction(SCARDHANDLE card) {
    Reader& reader = TheReader();
    std::lock_guard lock(reader.mutex);
    return CardHandleState(reader, card);
}

LONG WINAPI SCardEndTransaction(SCARDHANDLE card, DWORD) {
    Reader& reader = TheReader();
    std::lock_guard lock(reader.mutex);
    return CardHandleState(reader, card);
}

LONG WINAPI SCardStatusA(SCARDHANDLE card, LPSTR names, LPDWORD namesLength, LPDWORD state,
                         LPDWORD protocol, LPBYTE atr, LPDWORD atrLength) {
    Reader& reader = TheReader();
    std::lock_guard lock(reader.mutex);
    if (const LONG result = CardHandleState(reader, card); result != SCARD_S_SUCCESS) {
        return result;
    }
    if (namesLength != nullptr) {
        const DWORD needed = sizeof kReaderName + 1;
        if (names != nullptr && *namesLength < needed) {
            return SCARD_E_INSUFFICIENT_BUFFER;
        }
        if (names != nullptr) {
            std::memcpy(names, kReaderName, sizeof kReaderName);
            names[sizeof kReaderName] = '\0';
        }
        *namesLength = needed;
    }
    if (state != nullptr) {
        *state = SCARD_SPECIFIC;
    }
    if (protocol != nullptr) {
        *protocol = reader.protocol;
    }
    if (atrLength != nullptr) {
        if (atr != nullptr && *atrLength < reader.atr.size()) {
            return SCARD_E_INSUFFICIENT_BUFFER;
        }
        if (atr != nullptr) {
            std::copy(reader.atr.begin(), reader.atr.end(), atr);
        }
        *atrLength = static_cast<DWORD>(reader.atr.size());
    }
    return SCARD_S_SUCCESS;
}

LONG WINAPI SCardTransmit(SCARDHANDLE card, LPCSCARD_IO_REQUEST, LPCBYTE command,
                          DWORD commandLength, LPSCARD_IO_REQUEST, LPBYTE answer,
                          LPDWORD answerLength) {
    Reader& reader = TheReader();
    std::lock_guard lock(reader.mutex);
    if (command == nullptr || answer == nullptr || answerLength == nullptr) {
        return SCARD_E_INVALID_PARAMETER;
    }
    if (const LONG state = CardHandleState(reader, card); state != SCARD_S_SUCCESS) {
        return state;
    }
    const auto response = reader.link.exchange({command, commandLength}, true);
    if (!response) {
        Refresh(reader, 0);
        return SCARD_W_REMOVED_CARD;
    }
    if (response->size() > *answerLength) {
        *answerLength = static_cast<DWORD>(response->size());
        return SCARD_E_INSUFFICIENT_BUFFER;
    }
    std::copy(response->begin(), response->end(), answer);
    *answerLength = static_cast<DWORD>(response->size());
    return SCARD_S_SUCCESS;
}

} // extern "C"
