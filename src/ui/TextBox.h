#pragma once

#include <QLineEdit>

namespace tw {

// A one-line text box that selects its whole text whenever it gains the focus, so that typing
// replaces the old value.
class TextBox : public QLineEdit {
    Q_OBJECT
public:
    explicit TextBox(QWidget* parent = nullptr);

    // Shows the character in place of each character of the text, whatever the style.
    void maskWith(QChar mask);

protected:
    void focusInEvent(QFocusEvent* event) override;
};

}  // namespace tw
