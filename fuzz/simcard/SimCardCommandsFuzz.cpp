// simcard's command handler: any sequence of command APDUs against a card of any geometry.
// Every answer ends with a status word; a refused command leaves the image as it was (but
// for the attempts a wrong code costs); a change the image store refuses is undone; and the
// image stays one that saves and reads back equal.
#include "fuzz/FuzzCheck.h"
#include "fuzz/FuzzInput.h"
#include "tools/simcard/core/CardImage.h"
#include "tools/simcard/core/SimCard.h"

#include <optional>

namespace {

using tarvik::fuzz::Check;
using tarvik::fuzz::FuzzInput;

simcard::CardSettings settingsFrom(FuzzInput& in) {
    simcard::CardSettings s;
    s.adnRecords = in.byte() % 12;
    s.adnRecordLength = 14 + in.byte() % 30;
    s.ext1Records = static_cast<int>(in.byte() % 6) - 1;
    s.smsRecords = in.byte() % 4;
    s.smsRecordLength = 1 + in.byte() % 180;
    s.msisdnRecords = in.byte() % 3;
    s.cdmaDirectory = in.flag();
    s.pin1Enabled = in.flag();
    s.caseCard = in.flag();
    s.caseSlots = in.byte() % 5;
    s.uicc = in.flag();
    if (s.uicc) {
        s.phonebook = static_cast<simcard::PhonebookLayout>(in.byte() % 3);
        s.localPhonebook = in.flag();
    }
    return s;
}

bool isChvCommand(std::uint8_t ins) {
    return ins == 0x20 || ins == 0x24 || ins == 0x26 || ins == 0x28 || ins == 0x2C;
}

// A wrong code: 98 xx from a GSM SIM, 63 Cx from a UICC.
bool isWrongCode(std::uint16_t sw) {
    return (sw >> 8) == 0x98 || (sw & 0xFFF0) == 0x63C0;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput in(data, size);
    std::optional<simcard::CardImage> stored;
    bool storeWorks = true;
    simcard::SimCard card(simcard::CardImage::create(settingsFrom(in)),
                          [&](const simcard::CardImage& image) {
                              if (storeWorks) {
                                  stored = image;
                              }
                              return storeWorks;
                          });
    for (int step = 0; step < 48 && !in.empty(); ++step) {
        auto apdu = in.bytes(in.word() % 300);
        if (!apdu.empty() && in.flag()) {
            apdu[0] = card.image().uicc() ? 0x00 : 0xA0; // mostly commands of the card's class
        }
        storeWorks = in.byte() != 0xFF;
        if (in.byte() == 0xFE) {
            card.reset();
        }
        const simcard::CardImage before = card.image();
        stored.reset();
        const auto answer = card.process(apdu);
        Check(answer.size() >= 2 && answer.size() <= 256 + 2, "an answer ends with a status word");
        const std::uint16_t sw =
            static_cast<std::uint16_t>(answer[answer.size() - 2] << 8 | answer.back());
        const bool changed = !(card.image() == before);
        if (changed) {
            Check(sw == 0x9000 || (isChvCommand(apdu[1]) && isWrongCode(sw)),
                  "only accepted commands and wrong codes change the card");
            Check(stored && *stored == card.image(), "every change is stored");
        }
        if (!storeWorks && !stored) {
            Check(!changed, "a change the store refused is undone");
        }
        if (sw == 0x9000 && apdu.size() >= 5 && apdu[1] == 0xB2) {
            Check(answer.size() - 2 == (apdu[4] == 0 ? 256u : apdu[4]), "records come whole");
        }
    }
    const auto text = card.image().serialise();
    Check(simcard::CardImage::parse(text) == card.image(), "the image reads back equal");
    return 0;
}
