#pragma once

#include "editor/form/FormModel.h"

#include <string>
#include <string_view>

namespace tarvik {

// An edit given by name, as 'tarvik-cli edit' takes it and as the sites of a run over many
// cards give it: NAME for a field of the form (text typed, 0 or 1 for a check box, an item
// index for a list), SGRamp[ROW][COLUMN] for a barrier cell, SGTR[ROW] for a TR number.
struct NamedEditOutcome {
    enum class Status {
        Taken,       // the form took the value as given
        Changed,     // the form took it otherwise (cut, held to its range, keys refused)
        NotApplied,  // the form refused it and nothing changed
        UnknownName, // no field or cell has that name
    };
    Status status = Status::Taken;
    // For Changed and NotApplied, what the form did, UTF-8: "999 is above 99, set to 99",
    // "read-only for this model; not changed".
    std::string message;
};

// Types the value (UTF-8) into the named field or cell as a user would.
NamedEditOutcome ApplyNamedEdit(FormModel& form, std::string_view name, std::string_view value);

} // namespace tarvik
