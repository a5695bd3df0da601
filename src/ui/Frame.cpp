#include "ui/Frame.h"

#include <QPainter>

namespace tw {

Frame::Frame(const QString& caption, QWidget* parent) : QGroupBox(caption, parent) {}

void Frame::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QFontMetrics metrics(font());
    const int lineY = metrics.height() / 2;

    painter.setPen(palette().color(QPalette::Mid));
    painter.drawRect(QRect(0, lineY, width() - 1, height() - lineY - 1));

    // The caption interrupts the top edge.
    const QRect caption(7, 0, metrics.horizontalAdvance(title()) + 4, metrics.height());
    painter.fillRect(caption, palette().color(QPalette::Window));
    painter.setPen(
        palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::WindowText));
    painter.drawText(caption, Qt::AlignCenter, title());
}

}  // namespace tw
