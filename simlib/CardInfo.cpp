#include "simlib/CardInfo.h"

#include "simlib/CardCommands.h"
#include "simlib/LibraryState.h"
#include "simlib/PhonebookLocation.h"

#include <algorithm>

namespace quenlib {

namespace {

// Runs `ask` in the UICC dialogue on a card the library talks to in class A0, and puts the
// mode back. The card's position and refusals from these commands are not kept: the
// library's own dialogue goes on as if they had not been sent.
template <typename Ask>
auto askAsUicc(Ask&& ask) {
    LibraryState& s = state();
    const CardMode mode = s.mode;
    const std::uint16_t refusal = s.lastRefusal;
    s.mode = CardMode::Uicc;
    s.position.reset();
    auto answer = ask();
    s.mode = mode;
    s.lastRefusal = refusal;
    s.position.reset();
    return answer;
}

std::uint32_t placeCode(PhonebookPlace place) {
    switch (place) {
    case PhonebookPlace::Telecom:
        return QL_PHONEBOOK_TELECOM;
    case PhonebookPlace::Global:
        return QL_PHONEBOOK_GLOBAL;
    case PhonebookPlace::Local:
        return QL_PHONEBOOK_LOCAL;
    case PhonebookPlace::None:
        break;
    }
    return QL_PHONEBOOK_NONE;
}

} // namespace

QLRESULT describeCard(QL_CARD_INFO& info) {
    LibraryState& s = state();
    if (!s.connection) {
        return QL_E_NOT_CONNECTED;
    }
    const Connection connection = *s.connection;
    info.lastRefusal = s.lastRefusal;
    if (s.mode == CardMode::Unknown) {
        // The card's first answer tells its mode.
        selectFile(connection, kMasterFile);
    }
    bool uicc = s.mode == CardMode::Uicc;
    if (s.mode == CardMode::Uicc) {
        info.kind = QL_CARD_UICC;
    } else if (s.mode == CardMode::Gsm) {
        uicc = askAsUicc([&] { return selectFileWithFcp(connection, kMasterFile).has_value(); });
        info.kind = uicc ? QL_CARD_UICC_GSM : QL_CARD_GSM;
    } else {
        info.kind = QL_CARD_UNKNOWN;
    }
    info.phonebook = placeCode(s.phonebook.place);
    info.adnFileId = s.phonebook.adn;
    info.ext1FileId = s.phonebook.ext1;
    info.localPhonebook = 0;
    if (uicc && s.phonebook.place != PhonebookPlace::Local) {
        const auto local = [&] { return hasLocalUsimPhonebook(connection); };
        const bool found = s.mode == CardMode::Uicc ? local() : askAsUicc(local);
        info.localPhonebook = found ? 1 : 0;
    }
    const std::size_t nameLength = std::min(s.connectedReader.size(), sizeof info.reader - 1);
    std::copy_n(s.connectedReader.begin(), nameLength, info.reader);
    info.reader[nameLength] = '\0';
    info.atrLength = 0;
    std::fill(std::begin(info.atr), std::end(info.atr), std::uint8_t{0});
    ReaderStatus status;
    if (s.context &&
        backend().readerStatus(*s.context, s.connectedReader, status) == kPcscSuccess) {
        const std::size_t length = std::min(status.atr.size(), sizeof info.atr);
        std::copy_n(status.atr.begin(), length, info.atr);
        info.atrLength = static_cast<std::uint32_t>(length);
    }
    return QL_OK;
}

} // namespace quenlib
