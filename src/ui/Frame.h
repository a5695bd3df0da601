#pragma once

#include <QGroupBox>

namespace tw {

// A frame: a plain rectangle with its caption set into the top edge and nothing drawn inside,
// so the labels on it show exactly the frame's own background.
class Frame : public QGroupBox {
    Q_OBJECT
public:
    explicit Frame(const QString& caption, QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace tw
