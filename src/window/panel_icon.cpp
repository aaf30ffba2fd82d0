#include "window/panel_window.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace max2870 {
namespace {

// A tall spectral line over a low noise floor, on the panel's cyan: one output, clean.
QPixmap IconPixmap(int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal s = size;
    painter.setPen(QPen(QColor(0, 0, 128), s / 24));
    painter.setBrush(QColor(208, 255, 255));
    painter.drawRoundedRect(QRectF(s * 0.04, s * 0.04, s * 0.92, s * 0.92), s * 0.15, s * 0.15);

    QPainterPath spectrum;
    spectrum.moveTo(s * 0.12, s * 0.80);
    spectrum.cubicTo(s * 0.30, s * 0.78, s * 0.42, s * 0.74, s * 0.47, s * 0.62);
    spectrum.lineTo(s * 0.50, s * 0.16);
    spectrum.lineTo(s * 0.53, s * 0.62);
    spectrum.cubicTo(s * 0.58, s * 0.74, s * 0.70, s * 0.78, s * 0.88, s * 0.80);
    painter.setPen(QPen(QColor(0, 0, 255), s / 14, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(spectrum);

    painter.setPen(QPen(QColor(255, 0, 0), s / 20, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(s * 0.12, s * 0.88), QPointF(s * 0.88, s * 0.88));
    return pixmap;
}

} // namespace

QIcon PanelIcon() {
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128}) {
        icon.addPixmap(IconPixmap(size));
    }
    return icon;
}

} // namespace max2870
