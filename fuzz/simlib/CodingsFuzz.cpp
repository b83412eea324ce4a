// The GSM codings: what is encoded reads back equal (as far as the field holds it), and
// any bytes decode without reading outside them. Alpha identifiers, number blocks, BCD
// digits, the three SMS text codings and extension chains.
#include "fuzz/FuzzCheck.h"
#include "fuzz/FuzzInput.h"
#include "gsm/AlphaCoding.h"
#include "gsm/Ext1Chain.h"
#include "gsm/GsmAlphabet.h"
#include "gsm/NumberCoding.h"
#include "gsm/TextCoding.h"

#include <algorithm>
#include <string>
#include <vector>

namespace {

using namespace gsm;
using tarvik::fuzz::Check;
using tarvik::fuzz::FuzzInput;

// Dialling characters that read back as themselves ('C' reads back as '+').
constexpr char16_t kDialling[] = u"0123456789*#+DE";

std::u16string dialling(const std::u16string& raw) {
    std::u16string digits;
    for (char16_t c : raw) {
        digits.push_back(kDialling[c % 15]);
    }
    return digits;
}

void alphaRoundTrip(FuzzInput& in) {
    const std::u16string name = in.text();
    std::vector<std::uint8_t> field(in.byte(), 0xFF);
    gsm::EncodeAlpha(name, field);
    const std::u16string read = gsm::DecodeAlpha(field);
    // The one-byte form carries every name it can give back: not U+00FF (the filler), not a
    // first character 0080 ... 0082 (the form tags), nothing above 00FF.
    const bool oneByte =
        std::all_of(name.begin(), name.end(), [](char16_t c) { return c < 0xFF; }) &&
        (name.empty() || name[0] < 0x80 || name[0] > 0x82);
    std::u16string expected;
    if (!field.empty() && oneByte) {
        expected = name.substr(0, field.size());
    } else if (!field.empty()) {
        // Whole characters up to the field's end; U+FFFF cannot be told from the filler.
        expected = name.substr(0, (field.size() - 1) / 2);
        expected = expected.substr(0, expected.find(u'\uFFFF'));
    }
    Check(read == expected, "an alpha identifier reads back as written");
    // Any field decodes to no more characters than it has bytes.
    const auto bytes = in.bytes(in.byte());
    Check(gsm::DecodeAlpha(bytes).size() <= bytes.size(), "alpha decoding stays in the field");
}

void numberRoundTrip(FuzzInput& in) {
    std::u16string number = dialling(in.text());
    if (in.flag()) {
        number.insert(number.begin(), u'+');
    }
    const std::size_t count = std::min<std::size_t>(number.size(), gsm::kDigitsPerBlock);
    std::vector<std::uint8_t> block(gsm::kNumberBlockSize, 0xFF);
    gsm::EncodeNumberBlock(number, count, block);
    const std::size_t first = !number.empty() && number[0] == u'+' ? 1 : 0;
    const std::size_t digits = count > first ? count - first : 0;
    // Whole bytes are written: an odd count takes one more digit when the string has it.
    std::u16string expected =
        number.substr(0, first + std::min(2 * ((digits + 1) / 2), number.size() - first));
    if (expected == u"+") {
        expected.clear();
    }
    Check(gsm::DecodeNumberBlock(block) == expected, "a number block reads back as written");
    Check(block[12] == 0xFF && block[13] == 0xFF, "capability and extension bytes untouched");
    const auto any = in.bytes(gsm::kNumberBlockSize);
    Check(gsm::DecodeNumberBlock(any).size() <= 1 + gsm::kDigitsPerBlock,
          "a number block holds 20 digits");
}

void digitsRoundTrip(FuzzInput& in) {
    const std::u16string digits = dialling(in.text());
    Check(gsm::DecodeDigits(gsm::EncodeDigits(digits)) == digits,
          "BCD digits read back as written");
    const auto any = in.counted();
    Check(gsm::DecodeDigits(any).size() <= 2 * any.size(), "two digits a byte at most");
}

void textCodingsRoundTrip(FuzzInput& in) {
    const std::u16string text = in.text();
    std::vector<std::uint8_t> septets;
    std::u16string octets;
    for (char16_t c : text) {
        septets.push_back(static_cast<std::uint8_t>(c & 0x7F));
        octets.push_back(static_cast<char16_t>(c & 0xFF));
    }
    const auto packed = gsm::PackSeptets(septets);
    Check(packed.size() == (7 * septets.size() + 7) / 8, "septets packed tight");
    Check(gsm::UnpackSeptets(packed, septets.size()) == septets, "septets read back");
    const std::size_t skip = in.byte() % (septets.size() + 1);
    Check(gsm::UnpackSeptets(packed, septets.size() - skip, skip) ==
              std::vector<std::uint8_t>(septets.begin() + static_cast<std::ptrdiff_t>(skip),
                                        septets.end()),
          "septets read back from any septet");
    if (const auto coded = gsm::EncodeSeptets(text)) {
        Check(gsm::DecodeSeptets(*coded) == text, "a text of the GSM alphabet reads back");
    }
    Check(gsm::DecodeSeptets(septets).size() <= septets.size(), "one character a septet at most");
    Check(gsm::Decode8Bit(gsm::Encode8Bit(octets)) == octets, "8-bit text reads back");
    Check(gsm::DecodeUcs2(gsm::EncodeUcs2(text)) == text, "UCS2 text reads back");
    const auto any = in.counted();
    Check(gsm::UnpackSeptets(any, 300, in.byte()).size() <= any.size() * 8 / 7,
          "unpacking stays in the bytes");
}

void extensionChains(FuzzInput& in) {
    gsm::Ext1Buffer buffer;
    buffer.fill(0xFF);
    const auto start = in.bytes(buffer.size());
    std::copy(start.begin(), start.end(), buffer.begin());
    const int count = in.byte();
    const gsm::Ext1Buffer before = buffer;

    const std::u16string digits = dialling(in.text());
    const std::uint8_t first = gsm::StoreExtensionChain(buffer, count, digits);
    const std::u16string read = gsm::ReadExtensionChain(buffer, count, first);
    Check(read.size() <= gsm::kMaxExtensionDigits, "chains give at most 127 digits");
    Check(read == digits.substr(0, read.size()), "a stored chain reads back");
    std::size_t freeSlots = 0;
    for (int slot = 0; slot < std::min(count, 254); ++slot) {
        freeSlots += gsm::SlotOf(before, static_cast<std::size_t>(slot))[0] == 0xFF ? 1 : 0;
    }
    Check(read.size() ==
              std::min({digits.size(), gsm::kDigitsPerBlock * freeSlots, gsm::kMaxExtensionDigits}),
          "a chain takes what the free slots hold");
    Check(first == gsm::kNoExtension || first <= std::min(count, 254),
          "a chain starts in the file");

    gsm::ReleaseExtensionChain(buffer, count, first);
    for (std::size_t slot = 0; slot < gsm::kExt1Slots; ++slot) {
        if (gsm::SlotOf(before, slot)[0] != 0xFF) {
            Check(std::equal(gsm::SlotOf(before, slot).begin(), gsm::SlotOf(before, slot).end(),
                             gsm::SlotOf(buffer, slot).begin()),
                  "releasing a new chain leaves the records in use alone");
        }
    }
    // Any buffer and start: bounded, and release ends.
    gsm::Ext1Buffer any;
    any.fill(0xFF);
    const auto bytes = in.bytes(any.size());
    std::copy(bytes.begin(), bytes.end(), any.begin());
    const int anyCount = in.byte();
    const std::uint8_t anyFirst = in.byte();
    Check(gsm::ReadExtensionChain(any, anyCount, anyFirst).size() <= gsm::kMaxExtensionDigits,
          "any chain is bounded");
    gsm::ReleaseExtensionChain(any, anyCount, anyFirst);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput in(data, size);
    switch (in.byte() % 5) {
    case 0:
        alphaRoundTrip(in);
        break;
    case 1:
        numberRoundTrip(in);
        break;
    case 2:
        digitsRoundTrip(in);
        break;
    case 3:
        textCodingsRoundTrip(in);
        break;
    default:
        extensionChains(in);
        break;
    }
    return 0;
}
