#include "ui/PushButton.h"

#include <QMouseEvent>

#include "ui/Layout.h"

namespace tw {

PushButton::PushButton(const QString& caption, QWidget* parent) : QPushButton(caption, parent) {
    setFont(arialFont(11.25, true));
    setMouseTracking(true);
    // The button's own move is its own event; the frame behind it must not see it too.
    setAttribute(Qt::WA_NoMousePropagation);
}

void PushButton::mouseMoveEvent(QMouseEvent* event) {
    emit mouseMove(event->buttons(), event->modifiers(), qRound(event->position().x()),
                   qRound(event->position().y()));
    QPushButton::mouseMoveEvent(event);
    event->accept();
}

}  // namespace tw
