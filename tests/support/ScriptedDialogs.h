#pragma once

#include <QList>
#include <QQueue>
#include <QString>

#include "ui/Dialogs.h"

namespace tw::test {

// One box as the program asked for it.
struct ShownBox {
    enum Kind { Message, Input } kind;
    QString text;     // message text or input prompt
    int style;        // message style; 0 for input boxes
    QString caption;  // as passed: empty means the application title
    QString defaultText;
    QString extraButton;            // the further button a message box offered, if any (the first of them)
    QStringList extraButtons = {};  // every further button, in order
};

// Records every box and answers from queues: message boxes with the queued buttons (OK when
// none is queued; MsgBoxResult::Extra + n presses a box's n-th further button), input boxes with the
// queued texts (Cancel, the empty text, when none is).
class ScriptedDialogs : public Dialogs {
public:
    QList<ShownBox> shown;
    QQueue<int> buttons;
    QQueue<QString> answers;
    QList<TransferSummary> summaries;  // the boxes at the end of transfers, apart from the others

protected:
    int showMessage(const QString& text, int style, const QString& caption) override;
    int showMessageOffering(const QString& text, int style, const QString& caption,
                            const QStringList& extraButtons) override;
    QString askText(const QString& prompt, const QString& title, const QString& defaultText) override;
    void showSummary(const TransferSummary& summary) override { summaries << summary; }
};

}  // namespace tw::test
