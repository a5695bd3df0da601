#include "support/ScriptedDialogs.h"

namespace tw::test {

int ScriptedDialogs::showMessage(const QString& text, int style, const QString& caption) {
    shown.append({ShownBox::Message, text, style, caption, QString()});
    if (!buttons.isEmpty()) return buttons.dequeue();
    return (style & 0x0f) == MsgBoxStyle::YesNo ? MsgBoxResult::No : MsgBoxResult::Ok;
}

QString ScriptedDialogs::askText(const QString& prompt, const QString& title,
                                  const QString& defaultText) {
    shown.append({ShownBox::Input, prompt, 0, title, defaultText});
    return answers.isEmpty() ? QString() : answers.dequeue();
}

}  // namespace tw::test
