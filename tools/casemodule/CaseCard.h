#pragma once

#include "tools/casemodule/CaseRecord.h"

#include <cstdint>
#include <optional>

namespace casemodule {

// The case records on the card, through the connection Quenlib hands to the module: CASE
// COUNT (A0 0A), READ CASE (A0 09) and WRITE CASE (A0 0B), each answered 90 00.
class CaseCard {
public:
    explicit CaseCard(std::intptr_t card) : card_(card) {}

    std::optional<unsigned> count() const;
    std::optional<Record> read(unsigned number) const;
    bool write(unsigned number, const Record& record) const;

private:
    std::intptr_t card_;
};

} // namespace casemodule
