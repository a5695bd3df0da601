#pragma once

#include <QObject>
#include <functional>

class QWidget;

namespace tw {

// Gives a plain widget a mouse-move event of its own, as the push buttons have: the handler
// runs on every move over the widget, and the move does not also reach the widget behind it.
void onMouseMove(QWidget& widget, std::function<void()> handler);

// Moves over the widget end there: the widget behind it never hears of them.
void stopMouseMoves(QWidget& widget);

}  // namespace tw
