#include "editor/shell/widgets/GridView.h"

#include "editor/shell/widgets/Windows1252Validator.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QScrollBar>
#include <QStyle>
#include <QStyledItemDelegate>
#include <numeric>

namespace tarvik {
namespace {

// Cell editor: a one-line edit of Windows-1252 text whose every change is committed, so
// the program follows the cell while it is typed.
class CellDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&,
                          const QModelIndex&) const override {
        auto* editor = new QLineEdit(parent);
        editor->setFrame(false);
        editor->setValidator(new Windows1252Validator(editor));
        auto* self = const_cast<CellDelegate*>(this);
        QObject::connect(editor, &QLineEdit::textEdited, self,
                         [self, editor] { emit self->commitData(editor); });
        return editor;
    }

    void setEditorData(QWidget* editor, const QModelIndex& index) const override {
        // A committed keystroke comes back as a change of the cell; setting the same text
        // again would move the cursor to the end.
        auto* edit = static_cast<QLineEdit*>(editor);
        const QString text = index.data(Qt::EditRole).toString();
        if (edit->text() != text) {
            edit->setText(text);
        }
    }
};

} // namespace

GridView::GridView(std::vector<int> columnWeights, QWidget* parent)
    : QTableView(parent), weights_(std::move(columnWeights)) {
    setItemDelegate(new CellDelegate(this));
    // Typing in a cell edits it at once, as if its editor were always open.
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::SelectedClicked |
                    QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setTabKeyNavigation(true);
    setWordWrap(false);
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setHighlightSections(false);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
}

void GridView::keyPressEvent(QKeyEvent* event) {
    if (state() != EditingState && cellKeyHook && currentIndex().isValid() &&
        cellKeyHook(currentIndex(), *event)) {
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
}

int GridView::smallestUnit() const {
    int unit = 1;
    if (!model()) {
        return unit;
    }
    const QFontMetrics metrics(horizontalHeader()->font());
    const int margins = 4 * style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, this);
    for (int col = 0; col < static_cast<int>(weights_.size()); ++col) {
        const QString text = model()->headerData(col, Qt::Horizontal).toString();
        const int hint = metrics.horizontalAdvance(text) + margins;
        unit = std::max(unit, (hint + weights_[col] - 1) / weights_[col]);
    }
    return unit;
}

int GridView::framesWidth() const {
    return 2 * frameWidth() + verticalScrollBar()->sizeHint().width();
}

QSize GridView::minimumSizeHint() const {
    const int total = std::accumulate(weights_.begin(), weights_.end(), 0);
    const int rows = 5;
    return {smallestUnit() * total + framesWidth(),
            horizontalHeader()->sizeHint().height() +
                rows * verticalHeader()->defaultSectionSize() + 2 * frameWidth()};
}

QSize GridView::sizeHint() const {
    const QSize least = minimumSizeHint();
    return {least.width(), least.height() * 2};
}

void GridView::fitColumns() {
    const int total = std::accumulate(weights_.begin(), weights_.end(), 0);
    if (total <= 0 || !model()) {
        return;
    }
    const int width = viewport()->width();
    int used = 0;
    const int last = static_cast<int>(weights_.size()) - 1;
    for (int col = 0; col < last; ++col) {
        const int size = width * weights_[col] / total;
        setColumnWidth(col, size);
        used += size;
    }
    if (last >= 0) {
        setColumnWidth(last, std::max(0, width - used));
    }
}

void GridView::resizeEvent(QResizeEvent* event) {
    QTableView::resizeEvent(event);
    fitColumns();
}

void GridView::showEvent(QShowEvent* event) {
    QTableView::showEvent(event);
    fitColumns();
}

} // namespace tarvik
