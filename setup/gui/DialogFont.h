#pragma once

#include <QFont>

namespace setup::gui {

// The font of setup's dialog: the system's message font, as it was when the DialogFont was
// made.
class DialogFont {
public:
    DialogFont();
    const QFont& Font() const { return m_font; }

private:
    QFont m_font;
};

} // namespace setup::gui
