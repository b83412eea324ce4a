#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <optional>

class QMimeData;
class QWidget;

namespace tarvik {

// Opens a program file dropped anywhere on a window. The drop is taken before the widget
// under the pointer sees it, since a memo or an edit box would otherwise insert the file's
// name as text. A child of the window, which it makes accept drops.
class FileDrop : public QObject {
public:
    // open runs with the dropped file's path once the drop has ended.
    FileDrop(QWidget& window, std::function<void(const QString&)> open);

    // The one local file with the suffix ".sim" (in any case) that data carries, if that is
    // all it carries.
    static std::optional<QString> ProgramFile(const QMimeData& data);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget& window_;
    std::function<void(const QString&)> open_;
};

} // namespace tarvik
