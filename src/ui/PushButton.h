#pragma once

#include <QPushButton>

namespace tw {

// The windows' push button: a caption in Arial 11.25 pt bold, a click, and a mouse-move
// notification that the hover rule of its window listens to.
class PushButton : public QPushButton {
    Q_OBJECT
public:
    explicit PushButton(const QString& caption, QWidget* parent = nullptr);

signals:
    void mouseMove(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, int x, int y);

protected:
    void mouseMoveEvent(QMouseEvent* event) override;
};

}  // namespace tw
