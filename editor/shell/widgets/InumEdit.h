#pragma once

#include <QAbstractSpinBox>
#include <QString>
#include <functional>

namespace tarvik {

// The integer edit of the form: a one-line edit with a spin button. It holds text, not a
// number: what the text means, and what a step does to it, belongs to whoever binds it.
// The arrow keys, the spin button and the mouse wheel ask for steps of one (Page Up and
// Page Down step nothing); the box accepts only text that Windows-1252 can hold.
class TInumEdit : public QAbstractSpinBox {
public:
    // widest: the longest text the box should show in full, e.g. "-9999".
    explicit TInumEdit(const QString& widest, QWidget* parent = nullptr);

    void stepBy(int steps) override;
    QValidator::State validate(QString& input, int& position) const override;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

    // The inner edit, for the binding that follows the user's typing.
    QLineEdit* edit() const { return lineEdit(); }

    // Called when the user asks to add steps to the value (+1 up, -1 down).
    std::function<void(int steps)> onStep;

protected:
    StepEnabled stepEnabled() const override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QString widest_;
};

} // namespace tarvik
