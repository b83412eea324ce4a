#pragma once

#include <QPlainTextEdit>
#include <functional>

namespace tarvik {

// text with the invisible marks that let a line wrap after each ";" (a zero-width space)
// and never after a "-" (a word joiner), where a line would otherwise break.
QString BreakingBetweenEntries(const QString& text);
// text without those marks.
QString WithoutBreakMarks(QString text);

// A memo of the form: plain text that Windows-1252 can hold. A typed character outside it
// is refused with a beep, and so is a paste that holds one, so the memo never shows
// text that could not be stored.
// Where a long line may wrap is a matter of showing only: a line shown through
// ShowBreakingBetweenEntries wraps between the entries of a remote-programming text and
// never inside one, and a copy from the memo gives the text as it is.
class MemoEdit : public QPlainTextEdit {
public:
    using QPlainTextEdit::QPlainTextEdit;

    // Shows text ("RED=5;#5TEST-OK=5;..."), letting lines wrap only after a ";".
    void ShowBreakingBetweenEntries(const QString& text);

    // Sounds the warning beep of a refusal.
    std::function<void()> onRefused;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool canInsertFromMimeData(const QMimeData* source) const override;
    void insertFromMimeData(const QMimeData* source) override;
    QMimeData* createMimeDataFromSelection() const override;

private:
    void refuse();
};

} // namespace tarvik
