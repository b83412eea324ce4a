#pragma once

#include "simlib/include/quenlib.h"

#include <cstdint>
#include <span>

namespace quenlib {

// The contact-case application: recognised by the card's answer-to-reset, counted and read
// with its two proprietary commands, converted and changed by the case module.
QLRESULT recogniseCaseCard();
QLRESULT selectCaseRecords(QL_COUNT_INFO& info);
QLRESULT readCaseRecord(QL_CC_ITEM& item);
QLRESULT modifyCaseRecord(QL_CC_ITEM& oldItem, QL_CC_ITEM& newItem);
QLRESULT appendCaseRecord(QL_CC_ITEM& item);
QLRESULT deleteCaseRecord(QL_CC_ITEM& item);

// Stores what the module's CaseToAdn returned: `name` big-endian UCS2 bytes, `number` 8-bit
// characters, each at most QLCASE_BUFFER_SIZE bytes as the module returns them.
void storeConvertedCase(std::span<const std::uint8_t> name, std::span<const std::uint8_t> number,
                        QL_CC_ITEM& item);

} // namespace quenlib
