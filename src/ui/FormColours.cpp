#include "ui/FormColours.h"

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPalette>
#include <QRadioButton>

namespace tw {

QColor buttonFaceColour() { return QApplication::palette().color(QPalette::Active, QPalette::Button); }

void paintBackground(QWidget& widget, const QColor& colour) {
    QPalette palette = widget.palette();
    palette.setColor(QPalette::Window, colour);
    widget.setPalette(palette);
    widget.setAutoFillBackground(true);
}

void paintFormBackground(QWidget& window, const QColor& colour) {
    paintBackground(window, colour);
    for (QWidget* control : window.findChildren<QWidget*>()) {
        if (qobject_cast<QRadioButton*>(control) || qobject_cast<QCheckBox*>(control) ||
            qobject_cast<QGroupBox*>(control) || qobject_cast<QLabel*>(control)) {
            paintBackground(*control, colour);
        }
    }
}

void ApplyFormColours(QWidget& window) { paintFormBackground(window, buttonFaceColour()); }

}  // namespace tw
