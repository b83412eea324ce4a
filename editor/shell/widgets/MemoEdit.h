#pragma once

#include <QPlainTextEdit>
#include <functional>

namespace tarvik {

// A memo of the form: plain text that Windows-1252 can hold. A typed character outside it
// is refused with a beep, and so is a paste that holds one, so the memo never shows
// text that could not be stored.
class MemoEdit : public QPlainTextEdit {
public:
    using QPlainTextEdit::QPlainTextEdit;

    // Sounds the warning beep of a refusal.
    std::function<void()> onRefused;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool canInsertFromMimeData(const QMimeData* source) const override;
    void insertFromMimeData(const QMimeData* source) override;

private:
    void refuse();
};

} // namespace tarvik
