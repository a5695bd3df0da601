#pragma once

#include <QLineEdit>

namespace tw {

// A list's filter box, which takes room from the list only while it is in use: it appears when
// the user types into the list or presses Ctrl+F, and goes again on Escape or once emptied,
// giving the keyboard back to the list.
class FilterBox : public QLineEdit {
    Q_OBJECT
public:
    explicit FilterBox(QWidget* parent = nullptr);

    // Shows the box with the keyboard in it; typed (from the list) goes on the end of its text.
    void open(const QString& typed = QString());

signals:
    // Shown or hidden: the list's room changes.
    void shownChanged();
    // Closed by the user, or left with Down: the keyboard goes back to the list.
    void keyboardBack();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void setShown(bool shown);
    void close();
};

}  // namespace tw
