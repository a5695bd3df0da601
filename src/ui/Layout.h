#pragma once

#include <QFont>
#include <QRect>
#include <QString>
#include <QWidget>

namespace tw {

// A fixed-size window: title, system menu, minimise and close, no maximise.
inline constexpr Qt::WindowFlags kFixedWindowFlags = Qt::Window | Qt::WindowTitleHint |
                                                     Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                                                     Qt::WindowCloseButtonHint;

// A window that can be resized and maximised: title, system menu, minimise, maximise and close.
inline constexpr Qt::WindowFlags kResizableWindowFlags =
    Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint |
    Qt::WindowCloseButtonHint;

// Arial, which fontconfig serves as the metric-compatible Liberation Sans.
inline QFont arialFont(qreal points, bool bold) {
    QFont font(QStringLiteral("Arial"));
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

// Names a control as the windows' tables do and puts it where they say.
template <typename Control>
Control* place(Control* control, const QString& name, const QRect& geometry) {
    control->setObjectName(name);
    control->setGeometry(geometry);
    return control;
}

// Moves the window to the middle of the screen it will show on.
void centreOnScreen(QWidget& window);

}  // namespace tw
