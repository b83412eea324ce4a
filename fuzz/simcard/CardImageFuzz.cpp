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
    // The same as a UICC: the ADF by its AID, then each file by its path with its FCP
    // behind 61 xx, and its first record with the length a 6C xx names.
    send({0x00, 0xA4, 0x04, 0x0C, 0x07, 0xA0, 0x00, 0x00, 0x00, 0x87, 0x10, 0x02});
    for (std::uint16_t df : {0x7F10, 0x7FFF})
        for (std::uint16_t ef : {0x2FE2, 0x2F00, 0x6F3A, 0x5F3A, 0x6F3C})
            for (std::uint16_t inner : {0x0000, 0x4F30, 0x4F3A, 0x4F4A}) {
                const auto hi = [](std::uint16_t id) { return static_cast<std::uint8_t>(id >> 8); };
                const auto lo = [](std::uint16_t id) {
                    return static_cast<std::uint8_t>(id & 0xFF);
                };
                const auto selected =
                    inner == 0
                        ? send({0x00, 0xA4, 0x08, 0x04, 0x04, hi(df), lo(df), hi(ef), lo(ef)})
                        : send({0x00, 0xA4, 0x08, 0x04, 0x06, hi(df), lo(df), hi(ef), lo(ef),
                                hi(inner), lo(inner)});
                if (selected[0] != 0x61)
                    continue;
                send({0x00, 0xC0, 0x00, 0x00, selected[1]});
                const auto wrongLe = send({0x00, 0xB2, 0x01, 0x04, 0x00});
                if (wrongLe[0] == 0x6C)
                    send({0x00, 0xB2, 0x01, 0x04, wrongLe[1]});
                send({0x00, 0xB0, 0x00, 0x00, 0x00});
            }
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
