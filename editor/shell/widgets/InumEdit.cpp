#include "editor/shell/widgets/InumEdit.h"

#include "editor/shell/widgets/QtText.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QStyle>
#include <QStyleOptionSpinBox>

namespace tarvik {

TInumEdit::TInumEdit(const QString& widest, QWidget* parent)
    : QAbstractSpinBox(parent), widest_(widest) {
    // The box keeps whatever the user typed; it never corrects it on leaving.
    setCorrectionMode(QAbstractSpinBox::CorrectToPreviousValue);
    setKeyboardTracking(true);
    setAccelerated(false);
}

void TInumEdit::stepBy(int steps) {
    if (steps != 0 && !isReadOnly() && onStep) {
        onStep(steps);
    }
}

QValidator::State TInumEdit::validate(QString& input, int&) const {
    return ToWindows1252(input) ? QValidator::Acceptable : QValidator::Invalid;
}

QAbstractSpinBox::StepEnabled TInumEdit::stepEnabled() const {
    return isReadOnly() ? StepNone : (StepUpEnabled | StepDownEnabled);
}

void TInumEdit::keyPressEvent(QKeyEvent* event) {
    // Only the arrow keys step; the page keys would step by ten.
    if (event->key() == Qt::Key_PageUp || event->key() == Qt::Key_PageDown) {
        event->ignore();
        return;
    }
    QAbstractSpinBox::keyPressEvent(event);
}

QSize TInumEdit::sizeHint() const {
    ensurePolished();
    const QFontMetrics metrics(font());
    // Room for the widest text, the cursor and a little air.
    const QSize text(metrics.horizontalAdvance(widest_) + metrics.horizontalAdvance(u'0'),
                     lineEdit()->sizeHint().height());
    QStyleOptionSpinBox option;
    initStyleOption(&option);
    return style()->sizeFromContents(QStyle::CT_SpinBox, &option, text, this);
}

QSize TInumEdit::minimumSizeHint() const {
    return sizeHint();
}

} // namespace tarvik
