#pragma once

#include <QObject>
#include <QString>

class QMainWindow;

namespace tarvik {

// What the last command did, in the main window's status bar until the next command says
// something else: a status tip shown while the pointer rests on a menu item or a button
// hides it only for that time.
class StatusNote : public QObject {
public:
    // The note of window, made the first time it is asked for.
    static StatusNote& Of(QMainWindow& window);

    // Shows text; the empty text clears the note.
    void showText(const QString& text);
    const QString& text() const { return text_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    explicit StatusNote(QMainWindow& window);

    QMainWindow& window_;
    QString text_;
};

} // namespace tarvik
