#include "simlib/OwnNumbers.h"

#include "simlib/CardCommands.h"
#include "simlib/ItemText.h"
#include "simlib/LibraryState.h"
#include "gsm/AlphaCoding.h"
#include "gsm/NumberCoding.h"

#include <algorithm>
#include <array>
#include <span>
#include <string>
#include <string_view>

namespace quenlib {

namespace {

// The host's buffers hold at least this many characters; names also R - 13.
constexpr std::size_t kClearedCharacters = 32;
// Copies `text` and its 0 unit; the caller's buffer is sized for the longest text the
// record can give.
void copyOut(std::u16string_view text, QL_CHAR16* out) {
    std::copy(text.begin(), text.end(), out);
    out[text.size()] = 0;
}

} // namespace

QLRESULT selectOwnNumbers(QL_FILE_INFO& info) {
    LibraryState& s = state();
    if (!s.connection) {
        return QL_E_NOT_CONNECTED;
    }
    const Connection connection = *s.connection;
    if (!enterDirectory(connection, kTelecomPath)) {
        return QL_E_SELECT_DF;
    }
    const auto geometry = selectRecordFile(connection, kTelecomPath, kEfMsisdn);
    if (!geometry || geometry->recordLength < gsm::kNumberBlockSize) {
        return QL_E_SELECT_EF;
    }
    s.msisdn = *geometry;
    info.recordCount = static_cast<std::uint32_t>(s.msisdn.recordCount);
    info.recordLength = s.msisdn.recordLength;
    return QL_OK;
}

QLRESULT readOwnNumber(std::uint32_t index, QL_CHAR16* name, QL_CHAR16* number) {
    LibraryState& s = state();
    if (!s.connection) {
        return QL_E_NOT_CONNECTED;
    }
    const unsigned length = s.msisdn.recordLength;
    if (length < gsm::kNumberBlockSize || index > kLastItemIndex ||
        !selectPath(*s.connection, kTelecomPath, kEfMsisdn)) {
        return QL_E_READ;
    }
    const auto response =
        readRecord(*s.connection, recordNumber(index), static_cast<std::uint8_t>(length));
    if (!response) {
        return QL_E_READ;
    }
    const std::span<const std::uint8_t> record = response->data();
    const std::size_t alphaLength = length - gsm::kNumberBlockSize;
    std::fill_n(name, kClearedCharacters, QL_CHAR16{0});
    std::fill_n(number, kClearedCharacters, QL_CHAR16{0});
    if (record[0] != 0xFF) {
        copyOut(beforeFirstNul(gsm::DecodeAlpha(record.first(alphaLength))), name);
    }
    copyOut(gsm::DecodeNumberBlock(record.subspan(alphaLength, gsm::kNumberBlockSize)), number);
    return QL_OK;
}

QLRESULT writeOwnNumber(std::uint32_t index, const QL_CHAR16* name, const QL_CHAR16* number) {
    LibraryState& s = state();
    if (!s.connection) {
        return QL_E_NOT_CONNECTED;
    }
    const unsigned length = s.msisdn.recordLength;
    if (length < gsm::kNumberBlockSize || index > kLastItemIndex) {
        return QL_E_WRITE;
    }
    std::array<std::uint8_t, 255> buffer;
    buffer.fill(0xFF);
    const std::span<std::uint8_t> record = std::span(buffer).first(length);
    const std::size_t alphaLength = length - gsm::kNumberBlockSize;
    gsm::EncodeAlpha(terminatedText(name), record.first(alphaLength));
    // Own numbers keep their '+': it makes the number international.
    const std::u16string digits = terminatedText(number);
    gsm::EncodeNumberBlock(digits, std::min(digits.size(), gsm::kDigitsPerBlock),
                      record.subspan(alphaLength, gsm::kNumberBlockSize));
    if (!selectPath(*s.connection, kTelecomPath, kEfMsisdn) ||
        !updateRecord(*s.connection, recordNumber(index), record)) {
        return QL_E_WRITE;
    }
    return QL_OK;
}

} // namespace quenlib
