#pragma once

#include <QColor>

class QWidget;

namespace tw {

// The platform's colour of button faces, which skinned windows use as their background.
QColor buttonFaceColour();

// Fills the widget's background with the colour.
void paintBackground(QWidget& widget, const QColor& colour);

// Paints the window and its option buttons, check boxes, frames and labels; text boxes,
// lists and buttons keep their own colours.
void paintFormBackground(QWidget& window, const QColor& colour);

// Gives a window the button-face look without touching any skin.
void ApplyFormColours(QWidget& window);

}  // namespace tw
