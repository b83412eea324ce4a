#include "editor/form/ConfigSheet.h"

#include "editor/form/DeviceModels.h"
#include "editor/form/FieldTable.h"
#include "editor/form/FormModel.h"

#include <algorithm>
#include <map>

namespace tarvik {
namespace {

// The fields as a reset leaves them, to tell what is set.
const FieldModel& ResetFields() {
    static const FieldModel fields;
    return fields;
}

bool IsSet(const FieldModel& fields, int field) {
    return fields.valueText(field) != ResetFields().valueText(field);
}

// One cell of a field: its value as the page shows it, a check box with its caption.
std::string Cell(const FieldModel& fields, int field, const LanguageTable& table) {
    const FieldDef& def = FieldModel::definition(field);
    switch (def.kind) {
    case FieldKind::Check:
        return TranslateText(table, def.caption) + ": " +
               TranslateText(table, fields.checked(field) ? kSheetYes : kSheetNo);
    case FieldKind::Combo: {
        const int item = fields.itemIndex(field);
        const auto& items = fields.state(field).items;
        return item >= 0 && item < static_cast<int>(items.size())
                   ? TranslateText(table, items[static_cast<std::size_t>(item)])
                   : std::string();
    }
    case FieldKind::Numeric:
        return fields.badNumber(field) ? fields.text(field) : std::to_string(fields.value(field));
    default:
        return fields.text(field);
    }
}

// The rows of a group with anything set: the label of the row, then its fields' cells. A
// group with column headings puts each field under its column, the headings above, so
// that its rows read as a table; elsewhere a text left empty is left out.
ConfigSheet::Table GroupTable(const FieldModel& fields, const GroupDef& group,
                              const LanguageTable& table) {
    std::map<int, std::vector<int>> rows;
    for (int f = 0; f < fields.size(); ++f) {
        const FieldDef& def = FieldModel::definition(f);
        if (def.group == group.caption && def.tab == group.tab && HoldsValue(def.kind) &&
            fields.editable(f)) {
            rows[def.row].push_back(f);
        }
    }
    ConfigSheet::Table result{TranslateText(table, group.caption), {}, {}};
    const std::size_t columns = group.columnHeadings.size();
    if (columns > 0) {
        result.header.push_back({});
        for (const std::string& heading : group.columnHeadings) {
            result.header.push_back(heading.empty() ? std::string()
                                                    : TranslateText(table, heading));
        }
    }
    for (auto& [row, members] : rows) {
        if (std::none_of(members.begin(), members.end(), [&](int f) { return IsSet(fields, f); })) {
            continue;
        }
        std::stable_sort(members.begin(), members.end(), [](int a, int b) {
            return FieldModel::definition(a).column < FieldModel::definition(b).column;
        });
        std::vector<std::string> cells;
        if (columns > 0) {
            cells.assign(columns + 1, std::string());
            for (int f : members) {
                const FieldDef& def = FieldModel::definition(f);
                if (!def.caption.empty() && def.kind != FieldKind::Check) {
                    cells[0] = TranslateText(table, def.caption);
                }
                const auto column = static_cast<std::size_t>(def.column);
                if (column < columns) {
                    cells[column + 1] = Cell(fields, f, table);
                }
            }
            result.rows.push_back(std::move(cells));
            continue;
        }
        for (int f : members) {
            const FieldDef& def = FieldModel::definition(f);
            if (def.kind == FieldKind::Text && !IsSet(fields, f)) {
                continue;
            }
            if (!def.caption.empty() && def.kind != FieldKind::Check) {
                cells.push_back(TranslateText(table, def.caption));
            }
            cells.push_back(Cell(fields, f, table));
        }
        result.rows.push_back(std::move(cells));
    }
    return result;
}

ConfigSheet::Table RampTable(const StringGrid& ramp, const LanguageTable& table) {
    ConfigSheet::Table result{TranslateText(table, "BARRIER Telephone numbers"), {}, {}};
    for (int col = 0; col < ramp.colCount(); ++col) {
        result.header.push_back(TranslateText(table, ramp.cell(col, 0)));
    }
    for (int row = 1; row < ramp.rowCount(); ++row) {
        if (ramp.cell(0, row).empty()) {
            continue;
        }
        std::vector<std::string> cells;
        for (int col = 0; col < ramp.colCount(); ++col) {
            cells.push_back(ramp.cell(col, row));
        }
        result.rows.push_back(std::move(cells));
    }
    return result;
}

ConfigSheet::Table TrTable(const StringGrid& tr, const LanguageTable& table) {
    ConfigSheet::Table result{TranslateText(table, tr.cell(1, 0)),
                              {tr.cell(0, 0), TranslateText(table, tr.cell(1, 0))},
                              {}};
    for (int row = 1; row < tr.rowCount(); ++row) {
        if (!tr.cell(1, row).empty()) {
            result.rows.push_back({tr.cell(0, row), tr.cell(1, row)});
        }
    }
    return result;
}

} // namespace

ConfigSheet BuildConfigSheet(const FormModel& form, const LanguageTable& table,
                             std::string_view fileName, std::string_view date) {
    ConfigSheet sheet;
    sheet.heading = TranslateText(table, kSheetHeading);
    sheet.modelLabel = TranslateText(table, kSheetModel);
    sheet.fileLabel = TranslateText(table, kSheetFile);
    sheet.dateLabel = TranslateText(table, kSheetDate);
    sheet.notesLabel = TranslateText(table, kSheetNotes);
    const auto models = DeviceModels();
    const int model = form.document().modelIndex;
    sheet.model = model >= 0 && model < static_cast<int>(models.size())
                      ? std::string(models[static_cast<std::size_t>(model)].name)
                      : std::string();
    sheet.fileName =
        fileName.empty() ? TranslateText(table, kSheetUntitled) : std::string(fileName);
    sheet.date = date;
    sheet.notes = form.document().notes;

    const FieldModel& fields = form.fields();
    for (const Tab tab : FormTabs()) {
        if (tab == Tab::Main) {
            continue; // the program and the notes themselves
        }
        ConfigSheet::Page page{TranslateText(table, TabCaption(tab)), {}};
        for (const GroupDef& group : FormGroups()) {
            if (group.tab == tab) {
                page.tables.push_back(GroupTable(fields, group, table));
            }
        }
        if (tab == Tab::Barrier) {
            // The grids are the barrier page, which only the models that have it show.
            page.tables.clear();
            if (form.barrierTabVisible()) {
                page.tables.push_back(RampTable(form.rampGrid(), table));
                page.tables.push_back(TrTable(form.trGrid(), table));
            }
        }
        std::erase_if(page.tables, [](const ConfigSheet::Table& t) { return t.rows.empty(); });
        if (!page.tables.empty()) {
            sheet.pages.push_back(std::move(page));
        }
    }
    return sheet;
}

} // namespace tarvik
