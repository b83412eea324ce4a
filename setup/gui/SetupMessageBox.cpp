#include "setup/gui/SetupMessageBox.h"

#include "setup/gui/TestHook.h"

#include <QMessageBox>

namespace setup::gui {

void ShowSetupMessageBox(QWidget* owner, const QString& text, const QString& caption,
                         TestHook* hook) {
    QMessageBox box(QMessageBox::NoIcon, caption, text, QMessageBox::Ok, owner);
    if (hook != nullptr) {
        hook->answerMessageBox(box);
    }
    box.exec();
}

} // namespace setup::gui
