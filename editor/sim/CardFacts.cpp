#include "editor/sim/CardFacts.h"

namespace tarvik {

CardRefusal RefusalOf(std::uint16_t statusWord) {
    switch (statusWord) {
    case 0:
        return CardRefusal::None;
    case 0x6982: // ETSI TS 102 221 §10.2.1.5: security status not satisfied
    case 0x9804: // GSM 11.11 §9.4.5: access condition not fulfilled
        return CardRefusal::PinNeeded;
    case 0x6983: // ETSI TS 102 221 §10.2.1.5: authentication/PIN method blocked
    case 0x9840: // GSM 11.11 §9.4.5: CHV blocked
        return CardRefusal::PinBlocked;
    default:
        return CardRefusal::Other;
    }
}

} // namespace tarvik
