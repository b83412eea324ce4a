#pragma once

#include "quenlib.h"

#include <algorithm>
#include <cstdint>
#include <string>

namespace quenlib::test_support {

// A phonebook item as a host fills it before a call.
inline QL_ADN_ITEM AdnItem(std::uint32_t index, const std::u16string& name = u"",
                           const std::u16string& number = u"") {
    QL_ADN_ITEM entry{};
    entry.size = sizeof entry;
    entry.index = index;
    std::copy(name.begin(), name.end(), entry.name);
    std::copy(number.begin(), number.end(), entry.number);
    return entry;
}

inline QLRESULT WriteAdnEntry(std::uint32_t index, const std::u16string& name,
                              const std::u16string& number) {
    QL_ADN_ITEM entry = AdnItem(index, name, number);
    return QLADN_WriteItemW(&entry);
}

// An entry as "NAME=NUMBER" (ASCII text), or the name of the failure.
inline std::string ReadAdnEntry(std::uint32_t index) {
    QL_ADN_ITEM entry = AdnItem(index);
    const QLRESULT result = QLADN_ReadItemW(&entry);
    if (result != QL_OK) {
        return QL_CodeName(result);
    }
    const std::u16string name(entry.name, entry.nameLength);
    const std::u16string number(entry.number, entry.numberLength);
    return std::string(name.begin(), name.end()) + "=" + std::string(number.begin(), number.end());
}

} // namespace quenlib::test_support
