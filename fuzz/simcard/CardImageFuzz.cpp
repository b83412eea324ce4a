// simcard's card-image parser on any text: a refused image leaves the image held before
// untouched, an accepted one saves and reads back equal, and the card runs on it.
#include "fuzz/FuzzCheck.h"
#include "tools/simcard/core/CardImage.h"
#include "tools/simcard/core/SimCard.h"

#include <string_view>

namespace {

using tarvik::fuzz::Check;

// Selections and reads of every file a card may have, with the lengths GET RESPONSE gives.
void exercise(simcard::SimCard& card) {
    const auto send = [&card](std::initializer_list<std::uint8_t> apdu) {
        const std::vector<std::uint8_t> bytes(apdu);
        const auto answer = card.process(bytes);
        Check(answer.size() >= 2, "an answer ends with a status word");
        return answer;
    };
    for (std::uint16_t df : {0x3F00, 0x7F10, 0x7F20, 0x7F25}) {
        send({0xA0, 0xA4, 0x00, 0x00, 0x02, static_cast<std::uint8_t>(df >> 8),
              static_cast<std::uint8_t>(df & 0xFF)});
        for (std::uint16_t ef : {0x2FE2, 0x6F3A, 0x6F4A, 0x6F3C, 0x6F40}) {
            const auto selected =
                send({0xA0, 0xA4, 0x00, 0x00, 0x02, static_cast<std::uint8_t>(ef >> 8),
                      static_cast<std::uint8_t>(ef & 0xFF)});
            if (selected[0] != 0x9F) {
                continue;
            }
            const auto response = send({0xA0, 0xC0, 0x00, 0x00, selected[1]});
            const std::uint8_t length = response.size() >= 17 ? response[14] : 1;
            send({0xA0, 0xB2, 0x01, 0x04, length});
            send({0xA0, 0xB2, 0x00, 0x02, length});
            send({0xA0, 0xB0, 0x00, 0x00, 0x0A});
        }
    }
    send({0xA0, 0x0A, 0x00, 0x00, 0x02});
    send({0xA0, 0x09, 0x00, 0x00, 0x20});
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    static const simcard::CardImage held = [] {
        simcard::CardSettings small;
        small.adnRecords = 3;
        small.smsRecords = 1;
        return simcard::CardImage::create(small);
    }();
    simcard::CardImage image = held;
    try {
        image = simcard::CardImage::parse(text);
    } catch (const simcard::ImageError&) {
        Check(image == held, "a refused image leaves the held one untouched");
        return 0;
    }
    const auto saved = image.serialise();
    const auto reloaded = simcard::CardImage::parse(saved);
    Check(reloaded == image, "a saved image reads back equal");
    Check(reloaded.serialise() == saved, "saving is stable");
    simcard::SimCard card(image);
    exercise(card);
    return 0;
}
