#pragma once

class QPagedPaintDevice;
class QString;

namespace tarvik {

struct ConfigSheet;

// The sheet as rich text: the heading lines, the notes, then a section per page of the form
// with its tables.
QString SheetHtml(const ConfigSheet& sheet);

// Lays the sheet out on the pages of device (a PDF writer or a printer) and paints it, with
// the page number at the foot of each page. False when the device cannot be painted on.
bool PaintSheet(const ConfigSheet& sheet, QPagedPaintDevice& device);

} // namespace tarvik
