#include "ui/AppIcon.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace tw {

namespace {

void drawDrum(QPainter& painter, const QRectF& box, const QColor& colour) {
    const qreal lid = box.height() * 0.22;
    QPainterPath body;
    body.moveTo(box.left(), box.top() + lid / 2);
    body.lineTo(box.left(), box.bottom() - lid / 2);
    body.arcTo(QRectF(box.left(), box.bottom() - lid, box.width(), lid), 180, 180);
    body.lineTo(box.right(), box.top() + lid / 2);
    body.arcTo(QRectF(box.left(), box.top(), box.width(), lid), 0, -180);
    painter.setBrush(colour);
    painter.drawPath(body);
    painter.setBrush(colour.lighter(140));
    painter.drawEllipse(QRectF(box.left(), box.top(), box.width(), lid));
}

QPixmap drawIcon(int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / 64.0, size / 64.0);
    painter.setPen(QPen(QColor(0x20, 0x2a, 0x36), 1.5));

    drawDrum(painter, QRectF(3, 14, 20, 40), QColor(0xc0, 0x39, 0x2b));
    drawDrum(painter, QRectF(41, 14, 20, 40), QColor(0x27, 0x6f, 0xbf));

    // The copy arrow, left to right.
    QPainterPath arrow;
    arrow.moveTo(24, 30);
    arrow.lineTo(33, 30);
    arrow.lineTo(33, 24);
    arrow.lineTo(41, 34);
    arrow.lineTo(33, 44);
    arrow.lineTo(33, 38);
    arrow.lineTo(24, 38);
    arrow.closeSubpath();
    painter.setBrush(QColor(0xf3, 0x9c, 0x12));
    painter.drawPath(arrow);
    return pixmap;
}

}  // namespace

QIcon applicationIcon() {
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128}) icon.addPixmap(drawIcon(size));
    return icon;
}

}  // namespace tw
