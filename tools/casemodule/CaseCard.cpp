#include "tools/casemodule/CaseCard.h"

#include "PcscApi.h"

#include <algorithm>
#include <array>
#include <vector>

namespace casemodule {

namespace {

constexpr BYTE kClass = 0xA0;
constexpr BYTE kCaseCount = 0x0A;
constexpr BYTE kReadCase = 0x09;
constexpr BYTE kWriteCase = 0x0B;

// Sends `command` and returns the data of a 90 00 answer.
std::optional<std::vector<BYTE>> exchange(std::intptr_t card, const std::vector<BYTE>& command) {
    const auto handle = static_cast<SCARDHANDLE>(card);
    DWORD state = 0;
    DWORD protocol = 0;
    if (quenlib::pcsc::Status(handle, &state, &protocol) != SCARD_S_SUCCESS) {
        return std::nullopt;
    }
    const SCARD_IO_REQUEST* pci = protocol == SCARD_PROTOCOL_T1 ? SCARD_PCI_T1 : SCARD_PCI_T0;
    std::array<BYTE, 258> answer{};
    auto length = static_cast<DWORD>(answer.size());
    if (SCardTransmit(handle, pci, command.data(), static_cast<DWORD>(command.size()), nullptr,
                      answer.data(), &length) != SCARD_S_SUCCESS ||
        length < 2 || answer[length - 2] != 0x90 || answer[length - 1] != 0x00) {
        return std::nullopt;
    }
    return std::vector<BYTE>(answer.begin(), answer.begin() + length - 2);
}

BYTE high(unsigned number) {
    return static_cast<BYTE>(number >> 8);
}

BYTE low(unsigned number) {
    return static_cast<BYTE>(number & 0xFF);
}

} // namespace

std::optional<unsigned> CaseCard::count() const {
    const auto data = exchange(card_, {kClass, kCaseCount, 0x00, 0x00, 0x02});
    if (!data || data->size() != 2) {
        return std::nullopt;
    }
    return static_cast<unsigned>((*data)[0] << 8 | (*data)[1]);
}

std::optional<Record> CaseCard::read(unsigned number) const {
    const auto data =
        exchange(card_, {kClass, kReadCase, high(number), low(number), BYTE{kRecordSize}});
    if (!data || data->size() != kRecordSize) {
        return std::nullopt;
    }
    Record record;
    std::copy(data->begin(), data->end(), record.begin());
    return record;
}

bool CaseCard::write(unsigned number, const Record& record) const {
    std::vector<BYTE> command{kClass, kWriteCase, high(number), low(number), BYTE{kRecordSize}};
    command.insert(command.end(), record.begin(), record.end());
    return exchange(card_, command).has_value();
}

} // namespace casemodule
