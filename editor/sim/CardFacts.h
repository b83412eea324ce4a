#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tarvik {

// The kind of card, as the card library tells it.
enum class CardKind {
    Unknown,     // the card has answered nothing yet
    GsmSim,      // a GSM SIM: class A0 only
    UiccWithGsm, // a UICC that also answers class A0, and is talked to in it
    UiccOnly,    // a UICC that refuses class A0
};

// Where the phonebook the transfers use was found.
enum class PhonebookPlace {
    None,    // not selected, or not found
    Telecom, // EF ADN under DF Telecom
    Global,  // the global phonebook DF Telecom/5F3A
    Local,   // the USIM's local phonebook ADF.USIM/5F3A
};

struct CardFacts {
    std::string reader;
    std::vector<std::uint8_t> atr;
    CardKind kind = CardKind::Unknown;
    PhonebookPlace place = PhonebookPlace::None;
    std::uint16_t adnFile = 0;
    std::uint16_t ext1File = 0;
    // A UICC's USIM holds a local phonebook besides the one the transfers use.
    bool localPhonebookToo = false;
};

// The PIN (CHV1, PIN1 of a UICC) and its unblock code's counter.
struct PinFacts {
    bool enabled = false;
    int attemptsLeft = 0;
    int unblockAttemptsLeft = 0;
};

// Why the card refused its last command, as far as the editor tells reasons apart.
enum class CardRefusal {
    None,
    PinNeeded,  // security status not satisfied: 69 82 (ETSI TS 102 221), 98 04 (GSM 11.11)
    PinBlocked, // the PIN is blocked: 69 83, 98 40
    Other,
};

// The meaning of a refusal's status word; 0 is none.
CardRefusal RefusalOf(std::uint16_t statusWord);

} // namespace tarvik
