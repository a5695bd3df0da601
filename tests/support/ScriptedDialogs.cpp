#include "support/ScriptedDialogs.h"

namespace tw::test {

int ScriptedDialogs::showMessage(const QString& text, int style, const QString& caption) {
    return showMessageOffering(text, style, caption, QStringList());
}

int ScriptedDialogs::showMessageOffering(const QString& text, int style, const QString& caption,
                                         const QStringList& extraButtons) {
    shown.append({ShownBox::Message, text, style, caption, QString(), extraButtons.value(0), extraButtons});
    if (!buttons.isEmpty()) return buttons.dequeue();
    return MsgBoxStyle::isYesNo(style) ? MsgBoxResult::No : MsgBoxResult::Ok;
}

QString ScriptedDialogs::askText(const QString& prompt, const QString& title, const QString& defaultText) {
    shown.append({ShownBox::Input, prompt, 0, title, defaultText, QString()});
    return answers.isEmpty() ? QString() : answers.dequeue();
}

}  // namespace tw::test
