#include "editor/shell/pages/StringGridModel.h"

#include "editor/shell/widgets/QtText.h"

#include <QApplication>
#include <QPalette>
#include <algorithm>

namespace tarvik {

StringGridModel::StringGridModel(const StringGrid& grid, int fixedColumns,
                                 std::vector<bool> editorColumns, CellEdit edit, QObject* parent)
    : QAbstractTableModel(parent), grid_(grid), fixedColumns_(fixedColumns),
      editorColumns_(std::move(editorColumns)), edit_(std::move(edit)) {
    editorColumns_.resize(static_cast<std::size_t>(grid_.colCount()), false);
    watch_ = grid_.connectCellChanged([this](int col, int row) { cellChanged(col, row); });
}

int StringGridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : grid_.rowCount() - 1;
}

int StringGridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : grid_.colCount();
}

QVariant StringGridModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) {
        return {};
    }
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return FromWindows1252(grid_.cell(index.column(), GridRow(index.row())));
    case Qt::BackgroundRole:
        if (isFixedColumn(index.column())) {
            return QApplication::palette().brush(QPalette::Button);
        }
        return {};
    case Qt::TextAlignmentRole:
        if (isFixedColumn(index.column())) {
            return QVariant::fromValue(Qt::AlignCenter);
        }
        return {};
    default:
        return {};
    }
}

QVariant StringGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) {
        return QAbstractTableModel::headerData(section, orientation, role);
    }
    return FromWindows1252(grid_.cell(section, 0));
}

Qt::ItemFlags StringGridModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) {
        return Qt::NoItemFlags;
    }
    if (isFixedColumn(index.column())) {
        return Qt::ItemIsEnabled;
    }
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (editorColumns_[static_cast<std::size_t>(index.column())]) {
        flags |= Qt::ItemIsEditable;
    }
    return flags;
}

bool StringGridModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || role != Qt::EditRole || !(flags(index) & Qt::ItemIsEditable)) {
        return false;
    }
    const std::optional<std::string> text = ToWindows1252(value.toString());
    if (!text) {
        return false;
    }
    const int row = GridRow(index.row());
    if (*text != grid_.cell(index.column(), row) && edit_) {
        edit_(index.column(), row, *text);
    }
    return true;
}

void StringGridModel::cellChanged(int col, int row) {
    (void)col;
    const bool wasPending = headerDirty_ || firstDirtyRow_ >= 0;
    if (row == 0) {
        headerDirty_ = true;
    } else if (firstDirtyRow_ < 0) {
        firstDirtyRow_ = lastDirtyRow_ = row;
    } else {
        firstDirtyRow_ = std::min(firstDirtyRow_, row);
        lastDirtyRow_ = std::max(lastDirtyRow_, row);
    }
    if (!wasPending && onPending) {
        onPending();
    }
}

void StringGridModel::flush() {
    if (headerDirty_) {
        headerDirty_ = false;
        emit headerDataChanged(Qt::Horizontal, 0, columnCount() - 1);
    }
    if (firstDirtyRow_ >= 0) {
        const QModelIndex first = index(TableRow(firstDirtyRow_), 0);
        const QModelIndex last = index(TableRow(lastDirtyRow_), columnCount() - 1);
        firstDirtyRow_ = lastDirtyRow_ = -1;
        emit dataChanged(first, last, {Qt::DisplayRole, Qt::EditRole});
    }
}

void StringGridModel::refreshAll() {
    headerDirty_ = true;
    firstDirtyRow_ = 1;
    lastDirtyRow_ = grid_.rowCount() - 1;
    flush();
}

} // namespace tarvik
