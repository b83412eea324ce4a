#pragma once

#include "program/LanguageTable.h"

#include <string>
#include <string_view>
#include <vector>

namespace tarvik {

class FormModel;

// The configuration sheet of a program, for the customer's file: what a printed page shows,
// as 8-bit text already translated. Only what is set appears: a row of a group when any of
// its fields differs from its reset value, a group with such a row, a page with such a
// group, and the filled rows of the two telephone grids.
struct ConfigSheet {
    struct Table {
        std::string title;               // the group's caption
        std::vector<std::string> header; // column headings; may be empty
        std::vector<std::vector<std::string>> rows;
    };
    struct Page {
        std::string title; // the tab's caption
        std::vector<Table> tables;
    };
    // Translated labels of the heading lines.
    std::string heading;
    std::string modelLabel;
    std::string fileLabel;
    std::string dateLabel;
    std::string notesLabel;
    // The values.
    std::string model;
    std::string fileName;
    std::string date;
    std::vector<std::string> notes;
    std::vector<Page> pages;
};

// The sheet of the program that form holds, in the language of table. fileName is the name
// shown (no folder); date the date shown, as the caller formats it.
ConfigSheet BuildConfigSheet(const FormModel& form, const LanguageTable& table,
                             std::string_view fileName, std::string_view date);

// The untranslated texts of the sheet's frame.
inline constexpr std::string_view kSheetHeading = "Configuration sheet";
inline constexpr std::string_view kSheetModel = "Model";
inline constexpr std::string_view kSheetFile = "File";
inline constexpr std::string_view kSheetDate = "Date";
inline constexpr std::string_view kSheetNotes = "Notes";
inline constexpr std::string_view kSheetUntitled = "(not saved)";
inline constexpr std::string_view kSheetYes = "yes";
inline constexpr std::string_view kSheetNo = "no";

} // namespace tarvik
