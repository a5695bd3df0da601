#include "ui/TextBox.h"

#include <QProxyStyle>

namespace tw {

namespace {

// The platform style picks the password mask (a dot, often); this one answers ours.
class MaskStyle : public QProxyStyle {
public:
    explicit MaskStyle(QChar mask) : m_mask(mask) {}

    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override {
        if (hint == SH_LineEdit_PasswordCharacter) return m_mask.unicode();
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }

private:
    QChar m_mask;
};

}  // namespace

TextBox::TextBox(QWidget* parent) : QLineEdit(parent) {}

void TextBox::maskWith(QChar mask) {
    auto* style = new MaskStyle(mask);
    style->setParent(this);
    setStyle(style);
    setEchoMode(QLineEdit::Password);
}

void TextBox::focusInEvent(QFocusEvent* event) {
    QLineEdit::focusInEvent(event);
    selectAll();
}

}  // namespace tw
