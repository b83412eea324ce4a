#pragma once

#include <QIcon>

namespace setup::gui {

// The icon of setup's dialog, in 16 and 32 pixels: a parcel with an arrow out of it.
QIcon SetupIcon();

} // namespace setup::gui
