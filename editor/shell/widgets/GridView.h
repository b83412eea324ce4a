#pragma once

#include <QTableView>
#include <functional>
#include <vector>

namespace tarvik {

// The string grid of the form: a table whose columns share its width in fixed ratios
// (a column of weight 3 is three times as wide as one of weight 1) and whose cell editor
// hands every keystroke to the model at once, as the grid's edit handler expects.
class GridView : public QTableView {
public:
    explicit GridView(std::vector<int> columnWeights, QWidget* parent = nullptr);

    // Sees a key pressed on a cell that has no editor open; true when it took the key.
    std::function<bool(const QModelIndex& cell, QKeyEvent& key)> cellKeyHook;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    // The width of a column of weight 1 that lets every header text show in full.
    int smallestUnit() const;
    int framesWidth() const;
    void fitColumns();

    std::vector<int> weights_;
};

} // namespace tarvik
