#pragma once

#include "base/Signal.h"
#include "editor/form/StringGrid.h"

#include <QAbstractTableModel>
#include <functional>
#include <string>
#include <vector>

namespace tarvik {

// A StringGrid as a Qt table: row 0 of the grid is the horizontal header, its other rows
// are the table's rows. Columns may be fixed (labels shown like a header, never edited).
//
// The model reads the grid; it never writes it. An edit goes to the cell-edit callback,
// which runs the form's handler; the handler's changes of the grid come back through the
// grid's observer. A decoding changes thousands of cells, so the model collects changes
// and announces them in one step when flush() is called; onPending tells when one waits.
class StringGridModel : public QAbstractTableModel {
public:
    // col and row are the grid's (row 1 is the first data row).
    using CellEdit = std::function<void(int col, int row, std::string text)>;

    // editorColumns: per column, whether its cells open a text editor.
    StringGridModel(const StringGrid& grid, int fixedColumns, std::vector<bool> editorColumns,
                    CellEdit edit, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

    // The grid's row of a table row, and the reverse.
    static int GridRow(int tableRow) { return tableRow + 1; }
    static int TableRow(int gridRow) { return gridRow - 1; }

    bool isFixedColumn(int col) const { return col < fixedColumns_; }

    // Announces the changes collected since the last flush.
    void flush();
    // Announces every cell and the header as changed.
    void refreshAll();
    std::function<void()> onPending;

private:
    void cellChanged(int col, int row);

    const StringGrid& grid_;
    int fixedColumns_;
    std::vector<bool> editorColumns_;
    CellEdit edit_;
    bool headerDirty_ = false;
    int firstDirtyRow_ = -1; // grid rows; -1 when nothing waits
    int lastDirtyRow_ = -1;
    Connection watch_;
};

} // namespace tarvik
