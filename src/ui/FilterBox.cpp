#include "ui/FilterBox.h"

#include <QKeyEvent>

namespace tw {

FilterBox::FilterBox(QWidget* parent) : QLineEdit(parent) {
    QLineEdit::setVisible(false);
    // A filter set by the program shows; the user's emptied one goes.
    connect(this, &QLineEdit::textChanged, this, [this](const QString& text) {
        if (!text.isEmpty()) {
            setShown(true);
        } else if (hasFocus()) {
            close();
        } else {
            setShown(false);
        }
    });
}

void FilterBox::open(const QString& typed) {
    setShown(true);
    setFocus(Qt::ShortcutFocusReason);
    if (typed.isEmpty()) {
        selectAll();
    } else {
        setText(text() + typed);
    }
}

void FilterBox::setShown(bool shown) {
    if (isHidden() != shown) return;
    setVisible(shown);
    emit shownChanged();
}

void FilterBox::close() {
    const bool hadFocus = hasFocus();
    clear();
    setShown(false);
    if (hadFocus) emit keyboardBack();
}

// Escape empties and closes the box; Down goes to the list, as in a search box over a list.
void FilterBox::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        event->accept();
        close();
        return;
    }
    if (event->key() == Qt::Key_Down && event->modifiers() == Qt::NoModifier) {
        event->accept();
        emit keyboardBack();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

// A box opened and left empty takes no room.
void FilterBox::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    if (text().isEmpty()) setShown(false);
}

}  // namespace tw
