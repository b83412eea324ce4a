#include "setup/gui/SetupIcon.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace setup::gui {

namespace {

QPixmap Parcel(int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / 32.0, size / 32.0);
    // The box.
    painter.setPen(QPen(QColor(0x6b, 0x45, 0x1e), 1.5));
    painter.setBrush(QColor(0xd9, 0xa4, 0x5f));
    painter.drawRect(QRectF(4, 14, 24, 15));
    painter.drawLine(QPointF(16, 14), QPointF(16, 29));
    // The arrow coming out of it.
    QPainterPath arrow;
    arrow.moveTo(16, 1);
    arrow.lineTo(25, 10);
    arrow.lineTo(20, 10);
    arrow.lineTo(20, 16);
    arrow.lineTo(12, 16);
    arrow.lineTo(12, 10);
    arrow.lineTo(7, 10);
    arrow.closeSubpath();
    painter.setPen(QPen(QColor(0x1b, 0x4f, 0x8a), 1.2));
    painter.setBrush(QColor(0x3c, 0x8d, 0xde));
    painter.drawPath(arrow);
    return pixmap;
}

} // namespace

QIcon SetupIcon() {
    QIcon icon;
    icon.addPixmap(Parcel(16));
    icon.addPixmap(Parcel(32));
    return icon;
}

} // namespace setup::gui
