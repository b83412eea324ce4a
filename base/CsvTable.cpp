#include "base/CsvTable.h"

namespace tarvik {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

} // namespace

std::string CsvField(std::string_view field) {
    // A field that starts with the bytes of a byte order mark is quoted: first in a file,
    // the reader would take them for the mark and drop them.
    if (field.find_first_of(",\"\r\n") == std::string_view::npos &&
        !field.starts_with(kByteOrderMark)) {
        return std::string(field);
    }
    std::string quoted = "\"";
    for (const char c : field) {
        quoted += c;
        if (c == '"') {
            quoted += '"';
        }
    }
    return quoted + "\"";
}

CsvTable ParseCsv(std::string_view text) {
    CsvTable table;
    if (text.starts_with(kByteOrderMark)) {
        text.remove_prefix(kByteOrderMark.size());
    }
    std::vector<std::string> record;
    std::string field;
    bool quotedField = false; // the field started with a quote
    bool inQuotes = false;
    bool afterQuote = false; // the closing quote of the field was read
    int line = 1;
    int quoteLine = 1; // where the quoted field being read started
    auto fail = [&](const std::string& why) {
        table.rows.clear();
        table.error = "line " + std::to_string(line) + ": " + why;
        return table;
    };
    auto endRecord = [&] {
        record.push_back(std::move(field));
        const bool blank = record.size() == 1 && record[0].empty() && !quotedField;
        if (!blank) {
            table.rows.push_back(std::move(record));
        }
        record.clear();
        field.clear();
        quotedField = afterQuote = false;
    };
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (inQuotes) {
            if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
                field += '"';
                ++i;
            } else if (c == '"') {
                inQuotes = false;
                afterQuote = true;
            } else {
                line += c == '\n' ? 1 : 0;
                field += c;
            }
            continue;
        }
        if (c == ',') {
            record.push_back(std::move(field));
            field.clear();
            quotedField = afterQuote = false;
        } else if (c == '\n' || (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')) {
            i += c == '\r' ? 1 : 0;
            endRecord();
            ++line;
        } else if (afterQuote) {
            return fail("text after the closing quote of a field");
        } else if (c == '"') {
            if (!field.empty()) {
                return fail("a quote inside a field that does not start with one");
            }
            quotedField = inQuotes = true;
            quoteLine = line;
        } else {
            field += c;
        }
    }
    if (inQuotes) {
        line = quoteLine;
        return fail("a quoted field is not closed");
    }
    if (!field.empty() || !record.empty() || quotedField) {
        endRecord();
    }
    return table;
}

std::string CsvRecord(std::span<const std::string> fields) {
    // One empty field alone would be an empty line, which the reader passes over.
    if (fields.size() == 1 && fields[0].empty()) {
        return "\"\"\r\n";
    }
    std::string record;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        record += (i == 0 ? "" : ",") + CsvField(fields[i]);
    }
    return record + "\r\n";
}

} // namespace tarvik
