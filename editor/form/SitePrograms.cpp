#include "editor/form/SitePrograms.h"

#include "editor/form/DeviceModels.h"
#include "editor/form/FormModel.h"
#include "editor/form/NamedEdit.h"
#include "program/DocumentFiles.h"
#include "program/ProgramDocument.h"

namespace tarvik {
namespace {

std::string CellName(std::size_t column, const std::string& name) {
    return "column " + std::to_string(column + 1) + " (" + name + ")";
}

SitePrograms Failed(std::string error) {
    SitePrograms result;
    result.error = std::move(error);
    return result;
}

} // namespace

SitePrograms MakeSitePrograms(std::string_view programFile,
                              std::span<const std::vector<std::string>> table,
                              const LanguageTable& language) {
    if (table.empty()) {
        return Failed("no header row");
    }
    const std::vector<std::string>& header = table.front();
    SitePrograms result;
    for (std::size_t r = 1; r < table.size(); ++r) {
        const std::vector<std::string>& cells = table[r];
        const std::string row = "row " + std::to_string(r);
        if (cells.size() > header.size()) {
            return Failed(row + " has " + std::to_string(cells.size()) + " cells, the header " +
                          std::to_string(header.size()));
        }
        ProgramDocument doc{kDefaultModelIndex};
        FormModel form(doc, language);
        if (const FileResult opened = OpenDocumentContent(doc, programFile, form.documentHooks());
            !opened.ok) {
            return Failed(opened.reason);
        }
        for (std::size_t c = 0; c < cells.size(); ++c) {
            if (cells[c].empty()) {
                continue;
            }
            const NamedEditOutcome outcome = ApplyNamedEdit(form, header[c], cells[c]);
            switch (outcome.status) {
            case NamedEditOutcome::Status::Taken:
                break;
            case NamedEditOutcome::Status::UnknownName:
                return Failed(row + ", column " + std::to_string(c + 1) + ": no field or cell '" +
                              header[c] + "'");
            case NamedEditOutcome::Status::Changed:
            case NamedEditOutcome::Status::NotApplied:
                return Failed(row + ", " + CellName(c, header[c]) + ": " + outcome.message);
            }
        }
        form.focusField(-1); // leaving the last field, as closing the window would
        result.sites.push_back({static_cast<int>(r), doc.program.text().lines()});
    }
    return result;
}

} // namespace tarvik
