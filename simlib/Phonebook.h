#pragma once

#include "simlib/include/quenlib.h"

#include <cstdint>

namespace quenlib {

// The phonebook (EF ADN) with its extension records (EF EXT1). The extension records are
// held twice: as the card holds them and as a working copy that writes change; a flush
// writes the slots that differ.
QLRESULT selectPhonebook(QL_FILE_INFO& info);
QLRESULT readPhonebookItem(QL_ADN_ITEM& item);
QLRESULT writePhonebookItem(QL_ADN_ITEM& item);
QLRESULT flushExtensions();
QLRESULT readPhonebookRecord(std::uint32_t index, std::uint8_t* buffer);
QLRESULT writePhonebookRecord(std::uint32_t index, const std::uint8_t* buffer);
QLRESULT extensionWorkingCopy(std::uint8_t*& buffer, std::uint32_t& size);
QLRESULT replaceExtensionWorkingCopy(const std::uint8_t* source, std::uint32_t count);

} // namespace quenlib
