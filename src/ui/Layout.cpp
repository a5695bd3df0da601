#include "ui/Layout.h"

#include <QGuiApplication>
#include <QScreen>

namespace tw {

void centreOnScreen(QWidget& window) {
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect placed = window.geometry();
        placed.moveCenter(screen->availableGeometry().center());
        window.move(placed.topLeft());
    }
}

}  // namespace tw
