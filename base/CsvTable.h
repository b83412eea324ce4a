#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tarvik {

// Comma-separated values as RFC 4180 writes them: fields split by commas, records by line
// breaks, a field in double quotes may hold commas, line breaks and doubled quotes.
struct CsvTable {
    std::vector<std::vector<std::string>> rows;
    // "line 4: a quote inside a field that does not start with one"; empty when read.
    std::string error;
};

// Reads the text. CR LF and LF both end a record; a byte order mark at the very start (once)
// and empty lines are passed over, so that the rows are the records that hold something.
CsvTable ParseCsv(std::string_view text);

// A field as it is written: in double quotes, with each quote inside doubled, when it holds
// a comma, a quote or a line break or starts with the bytes of a byte order mark; else as
// it is.
std::string CsvField(std::string_view field);

// One record, each field written as CsvField writes it, ended by CR LF. A record of one
// empty field is written "" so that it reads back as a record and not as a blank line.
std::string CsvRecord(std::span<const std::string> fields);

} // namespace tarvik
