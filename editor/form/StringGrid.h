#pragma once

#include "base/Signal.h"

#include <functional>
#include <string>
#include <vector>

namespace tarvik {

// A plain table of text cells addressed as (column, row), row 0 being the header row.
class StringGrid {
public:
    using Listener = std::function<void(int col, int row)>;

    StringGrid(int colCount, int rowCount);

    int colCount() const { return colCount_; }
    int rowCount() const { return rowCount_; }
    bool contains(int col, int row) const;

    // The cell's text; empty for a cell outside the grid.
    const std::string& cell(int col, int row) const;
    // Every cell, row by row.
    const std::vector<std::string>& cells() const { return cells_; }
    // Sets a cell; a cell outside the grid is ignored. Setting cells from code fires no
    // edit handler; only the listeners (a widget binding) hear of it.
    void setCell(int col, int row, std::string text);

    // Observes every change of a cell's text (a widget binding).
    Connection connectCellChanged(Listener listener) const {
        return cellChanged_.connect(std::move(listener));
    }

private:
    int colCount_;
    int rowCount_;
    std::vector<std::string> cells_;
    Signal<int, int> cellChanged_;
};

} // namespace tarvik
