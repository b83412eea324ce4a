#pragma once

#include "program/LanguageTable.h"

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tarvik {

// The program of one site: the base program with the site's edits typed into the form.
struct SiteProgram {
    int row = 0;                    // the site's row of the table, from 1 (the header not counted)
    std::vector<std::string> lines; // the program text, 8-bit, one entry a line
};

// Every site's program, or the first edit that the form did not take as given.
struct SitePrograms {
    std::vector<SiteProgram> sites;
    // "row 2, column 3 (EDTl1): 999 is above 99, set to 99"; "column 4: no field or cell
    // 'EDX'"; empty when every site's program was made.
    std::string error;
};

// Opens the program file's content into a form once for each row of `table` after its
// header, and types the row's cells into the fields that the header names (edit names as
// 'tarvik-cli edit' takes them). An empty cell leaves its field as it is, and a row may have
// fewer cells than the header. An edit that the form cuts, holds to a range or refuses
// fails the whole table, so that nothing is written from a table with a mistake in it.
SitePrograms MakeSitePrograms(std::string_view programFile,
                              std::span<const std::vector<std::string>> table,
                              const LanguageTable& language);

} // namespace tarvik
