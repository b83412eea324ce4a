#include "setup/gui/DialogFont.h"

#include <QApplication>

namespace setup::gui {

DialogFont::DialogFont() : font_(QApplication::font("QMessageBox")) {}

} // namespace setup::gui
