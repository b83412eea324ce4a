#include "setup/gui/DialogFont.h"

#include <QApplication>

namespace setup::gui {

DialogFont::DialogFont() : m_font(QApplication::font("QMessageBox")) {}

} // namespace setup::gui
