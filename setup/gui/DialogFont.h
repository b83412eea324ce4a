#pragma once

#include <QFont>

namespace setup::gui {

// The font of setup's dialog: the system's message font, as it was when the DialogFont was
// made.
class DialogFont {
public:
    DialogFont();
    const QFont& font() const { return font_; }

private:
    QFont font_;
};

} // namespace setup::gui
