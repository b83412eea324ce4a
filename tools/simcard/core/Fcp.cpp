#include "tools/simcard/core/Fcp.h"

namespace simcard {

namespace {

// Records of the EF ARR the security attributes point at.
constexpr std::uint8_t RuleReadAlwaysUpdateNever = 0x01;
constexpr std::uint8_t RulePin1 = 0x02;
constexpr std::uint8_t RuleDirectory = 0x03;
constexpr std::uint16_t EfArr = 0x2F06;
// TS 102 221 §11.1.1.4.9: operational state, activated.
constexpr std::uint8_t Activated = 0x05;

void Put(Bytes& out, std::uint8_t tag, std::initializer_list<std::uint8_t> value) {
    out.push_back(tag);
    out.push_back(static_cast<std::uint8_t>(value.size()));
    out.insert(out.end(), value);
}

std::uint8_t High(unsigned value) {
    return static_cast<std::uint8_t>(value >> 8);
}
std::uint8_t Low(unsigned value) {
    return static_cast<std::uint8_t>(value & 0xFF);
}

Bytes Wrapped(Bytes content) {
    const auto length = static_cast<std::uint8_t>(content.size());
    content.insert(content.begin(), {0x62, length});
    return content;
}

} // namespace

Bytes ElementaryFileFcp(std::uint16_t id, const ElementaryFile& file, bool pinProtected) {
    Bytes c;
    // §11.1.1.4.3: shareable working EF, transparent (41) or linear fixed (42) with its
    // record length (2 bytes) and number of records.
    if (file.transparent)
        Put(c, 0x82, {0x41, 0x21});
    else
        Put(c, 0x82,
            {0x42, 0x21, High(static_cast<unsigned>(file.recordLength)),
             Low(static_cast<unsigned>(file.recordLength)),
             static_cast<std::uint8_t>(file.records.size())});
    Put(c, 0x83, {High(id), Low(id)});
    Put(c, 0x8A, {Activated});
    Put(c, 0x8B, {High(EfArr), Low(EfArr), pinProtected ? RulePin1 : RuleReadAlwaysUpdateNever});
    const auto size = static_cast<unsigned>(
        file.transparent ? file.body.size() : file.records.size() * file.recordLength);
    Put(c, 0x80, {High(size), Low(size)});
    Put(c, 0x88, {});
    return Wrapped(std::move(c));
}

Bytes DirectoryFcp(std::uint16_t id, const Bytes& name, PinState pins) {
    Bytes c;
    Put(c, 0x82, {0x78, 0x21}); // §11.1.1.4.3: shareable DF or ADF
    Put(c, 0x83, {High(id), Low(id)});
    if (!name.empty()) {
        c.push_back(0x84);
        c.push_back(static_cast<std::uint8_t>(name.size()));
        c.insert(c.end(), name.begin(), name.end());
    }
    Put(c, 0x8A, {Activated});
    Put(c, 0x8B, {High(EfArr), Low(EfArr), RuleDirectory});
    // §9.5.2: the PS_DO (90) has one bit a key reference, in the order they follow, the
    // first in b8: PIN1 (key reference 01) and PIN2 (81).
    const auto enabled =
        static_cast<std::uint8_t>((pins.pin1Enabled ? 0x80 : 0) | (pins.pin2Enabled ? 0x40 : 0));
    Put(c, 0xC6, {0x90, 0x01, enabled, 0x83, 0x01, 0x01, 0x83, 0x01, 0x81});
    return Wrapped(std::move(c));
}

} // namespace simcard
