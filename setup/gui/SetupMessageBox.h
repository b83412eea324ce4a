#pragma once

#include <QString>

class QWidget;

namespace setup::gui {

class TestHook;

// A modal message box with the text, the caption and an OK button, owned by `owner` (or by
// nobody). Returns when it has been answered; a test hook answers it itself.
void ShowSetupMessageBox(QWidget* owner, const QString& text, const QString& caption,
                         TestHook* hook);

} // namespace setup::gui
