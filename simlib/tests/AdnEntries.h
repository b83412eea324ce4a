#pragma once

#include "simlib/include/quenlib.h"
#include "simlib/tests/CardText.h"

#include <algorithm>
#include <cstdint>
#include <string>

namespace quenlib::test_support {

// Phonebook items through the exports, for fixtures of tests on a simulated or a real card.
struct AdnEntries {
    // A phonebook item as a host fills it before a call.
    static QL_ADN_ITEM item(std::uint32_t index, const std::u16string& name = u"",
                            const std::u16string& number = u"") {
        QL_ADN_ITEM entry{};
        entry.size = sizeof entry;
        entry.index = index;
        std::copy(name.begin(), name.end(), entry.name);
        std::copy(number.begin(), number.end(), entry.number);
        return entry;
    }

    static QLRESULT write(std::uint32_t index, const std::u16string& name,
                          const std::u16string& number) {
        QL_ADN_ITEM entry = item(index, name, number);
        return QLADN_WriteItemW(&entry);
    }

    // An entry as "NAME=NUMBER" (ASCII text), or the name of the failure.
    static std::string read(std::uint32_t index) {
        QL_ADN_ITEM entry = item(index);
        const QLRESULT result = QLADN_ReadItemW(&entry);
        if (result != QL_OK) {
            return QL_CodeName(result);
        }
        const std::u16string name = test_support::Text(entry.name, entry.nameLength);
        const std::u16string number = test_support::Text(entry.number, entry.numberLength);
        return std::string(name.begin(), name.end()) + "=" +
               std::string(number.begin(), number.end());
    }
};

} // namespace quenlib::test_support
