#pragma once

#include <QImage>
#include <QPixmap>
#include <optional>

class QString;

namespace tarvik {

// The pictures the program draws itself, so it carries no image files of its own.

// The communicator, as the main window and the About box show it.
QImage DevicePicture();
// The program's icon, size by size pixels.
QImage ApplicationIcon(int size);

// The picture in the file at path when it holds an image Qt can read, whatever its name;
// nothing for a missing file or anything else.
std::optional<QImage> LoadPicture(const QString& path);

} // namespace tarvik
