#include "ui/MouseMoveNotifier.h"

#include <QEvent>
#include <QWidget>

namespace tw {

namespace {

class MouseMoveNotifier : public QObject {
public:
    MouseMoveNotifier(QWidget& widget, std::function<void()> handler)
        : QObject(&widget), m_handler(std::move(handler)) {}

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::MouseMove) m_handler();
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> m_handler;
};

}  // namespace

void onMouseMove(QWidget& widget, std::function<void()> handler) {
    stopMouseMoves(widget);
    widget.setMouseTracking(true);
    widget.installEventFilter(new MouseMoveNotifier(widget, std::move(handler)));
}

void stopMouseMoves(QWidget& widget) { widget.setAttribute(Qt::WA_NoMousePropagation); }

}  // namespace tw
