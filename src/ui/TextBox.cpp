#include "ui/TextBox.h"

namespace tw {

TextBox::TextBox(QWidget* parent) : QLineEdit(parent) {}

void TextBox::focusInEvent(QFocusEvent* event) {
    QLineEdit::focusInEvent(event);
    selectAll();
}

}  // namespace tw
