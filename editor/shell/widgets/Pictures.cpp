#include "editor/shell/widgets/Pictures.h"

#include <QImageReader>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace tarvik {
namespace {

constexpr QSize kDeviceSize(150, 110);

void DrawLed(QPainter& painter, QPointF centre, QColor colour) {
    QRadialGradient glow(centre, 5);
    glow.setColorAt(0, colour.lighter(170));
    glow.setColorAt(1, colour);
    painter.setPen(QPen(colour.darker(180), 1));
    painter.setBrush(glow);
    painter.drawEllipse(centre, 4, 4);
}

} // namespace

QImage DevicePicture() {
    QImage image(kDeviceSize, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);

    // Antenna.
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(40, 40, 44));
    painter.drawRoundedRect(QRectF(116, 2, 9, 34), 4, 4);

    // Case.
    const QRectF body(10, 28, 130, 74);
    QLinearGradient shade(body.topLeft(), body.bottomLeft());
    shade.setColorAt(0, QColor(236, 238, 240));
    shade.setColorAt(1, QColor(190, 194, 200));
    painter.setPen(QPen(QColor(110, 114, 120), 1.5));
    painter.setBrush(shade);
    painter.drawRoundedRect(body, 8, 8);

    // Front label with the LEDs.
    const QRectF panel(20, 38, 62, 40);
    painter.setPen(QPen(QColor(60, 70, 90), 1));
    painter.setBrush(QColor(44, 62, 96));
    painter.drawRoundedRect(panel, 4, 4);
    DrawLed(painter, {32, 50}, QColor(40, 190, 70));
    DrawLed(painter, {46, 50}, QColor(220, 50, 40));
    DrawLed(painter, {60, 50}, QColor(60, 110, 230));
    painter.setPen(QColor(220, 228, 240));
    QFont font = painter.font();
    font.setPixelSize(10);
    font.setBold(true);
    painter.setFont(font);
    painter.drawText(QRectF(22, 58, 58, 16), Qt::AlignCenter, QStringLiteral("GSM"));

    // SIM card drawer.
    painter.setPen(QPen(QColor(120, 124, 130), 1));
    painter.setBrush(QColor(210, 170, 60));
    QPainterPath sim;
    sim.moveTo(94, 42);
    sim.lineTo(124, 42);
    sim.lineTo(124, 60);
    sim.lineTo(100, 60);
    sim.lineTo(94, 54);
    sim.closeSubpath();
    painter.drawPath(sim);
    painter.setBrush(QColor(235, 210, 120));
    painter.drawRect(QRectF(104, 46, 12, 9));

    // Terminal block along the bottom edge.
    painter.setBrush(QColor(40, 120, 60));
    painter.setPen(QPen(QColor(20, 70, 35), 1));
    painter.drawRect(QRectF(20, 86, 110, 12));
    painter.setBrush(QColor(200, 200, 200));
    for (int i = 0; i < 10; ++i) {
        painter.drawEllipse(QPointF(26 + i * 11, 92), 3, 3);
    }
    return image;
}

QImage ApplicationIcon(int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / 64.0, size / 64.0);

    // A SIM card with its cut corner.
    QPainterPath card;
    card.moveTo(10, 4);
    card.lineTo(44, 4);
    card.lineTo(56, 16);
    card.lineTo(56, 60);
    card.lineTo(10, 60);
    card.closeSubpath();
    QLinearGradient fill(0, 4, 0, 60);
    fill.setColorAt(0, QColor(54, 96, 170));
    fill.setColorAt(1, QColor(30, 58, 112));
    painter.setPen(QPen(QColor(20, 36, 70), 2));
    painter.setBrush(fill);
    painter.drawPath(card);

    // The contact pad.
    painter.setPen(QPen(QColor(150, 110, 30), 1.5));
    painter.setBrush(QColor(232, 190, 80));
    painter.drawRoundedRect(QRectF(18, 24, 24, 20), 3, 3);
    painter.drawLine(QPointF(30, 24), QPointF(30, 44));
    painter.drawLine(QPointF(18, 31), QPointF(42, 31));
    painter.drawLine(QPointF(18, 37), QPointF(42, 37));

    // A signal arc: the communicator calls out.
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor(250, 250, 250), 3, Qt::SolidLine, Qt::RoundCap));
    painter.drawArc(QRectF(16, 47, 12, 10), 30 * 16, 120 * 16);
    painter.drawArc(QRectF(12, 44, 20, 16), 30 * 16, 120 * 16);
    return image;
}

std::optional<QImage> LoadPicture(const QString& path) {
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    QImage image = reader.read();
    if (image.isNull()) {
        return std::nullopt;
    }
    return image;
}

} // namespace tarvik
