#include "editor/form/StringGrid.h"

namespace tarvik {

StringGrid::StringGrid(int colCount, int rowCount)
    : colCount_(colCount), rowCount_(rowCount),
      cells_(static_cast<std::size_t>(colCount) * static_cast<std::size_t>(rowCount)) {}

bool StringGrid::contains(int col, int row) const {
    return col >= 0 && col < colCount_ && row >= 0 && row < rowCount_;
}

const std::string& StringGrid::cell(int col, int row) const {
    static const std::string empty;
    if (!contains(col, row)) {
        return empty;
    }
    return cells_[static_cast<std::size_t>(row) * colCount_ + col];
}

void StringGrid::setCell(int col, int row, std::string text) {
    if (!contains(col, row)) {
        return;
    }
    std::string& cell = cells_[static_cast<std::size_t>(row) * colCount_ + col];
    if (cell == text) {
        return;
    }
    cell = std::move(text);
    cellChanged_.notify(col, row);
}

} // namespace tarvik
