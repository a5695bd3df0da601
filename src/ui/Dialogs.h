#pragma once

#include <QString>
#include <QStringList>

#include "ui/TransferSummary.h"

namespace tw {

// Buttons and icon of a message box, combined by adding one of each.
namespace MsgBoxStyle {
inline constexpr int OkOnly = 0;
inline constexpr int YesNo = 4;
inline constexpr int Critical = 16;
inline constexpr int Question = 32;
inline constexpr int Exclamation = 48;
inline constexpr int Information = 64;

// Whether the style asks for Yes and No rather than OK.
inline bool isYesNo(int style) { return (style & 0x0f) == YesNo; }
}  // namespace MsgBoxStyle

// The button a message box was closed with.
namespace MsgBoxResult {
inline constexpr int Ok = 1;
inline constexpr int Cancel = 2;
inline constexpr int Yes = 6;
inline constexpr int No = 7;
inline constexpr int Extra = 100;  // the first further button a box offers; the next are 101, 102, ...
}  // namespace MsgBoxResult

// Every box the program shows goes through here, so that tests can read and answer them.
class Dialogs {
public:
    virtual ~Dialogs() = default;

    // A modal message box; an empty caption shows the application title. Returns the button.
    int msgBox(const QString& text, int style = MsgBoxStyle::OkOnly, const QString& caption = QString()) {
        return showMessage(text, style, caption);
    }

    // The same box with one further button after the others; pressing it gives
    // MsgBoxResult::Extra.
    int msgBox(const QString& text, int style, const QString& caption, const QString& extraButton) {
        return msgBox(text, style, caption, extraButton.isEmpty() ? QStringList() : QStringList{extraButton});
    }

    // The same box with further buttons after the others, in this order; pressing the n-th
    // (from 0) gives MsgBoxResult::Extra + n.
    int msgBox(const QString& text, int style, const QString& caption, const QStringList& extraButtons) {
        return extraButtons.isEmpty() ? showMessage(text, style, caption)
                                      : showMessageOffering(text, style, caption, extraButtons);
    }

    // A modal input dialog with OK and Cancel; Cancel gives the empty text.
    QString inputBox(const QString& prompt, const QString& title, const QString& defaultText) {
        return askText(prompt, title, defaultText);
    }

    // The modal box at the end of a transfer: every table, what happened to it, its rows and time.
    void summaryBox(const TransferSummary& summary) { showSummary(summary); }

protected:
    virtual int showMessage(const QString& text, int style, const QString& caption) = 0;
    // A box that cannot offer the further buttons shows the usual ones.
    virtual int showMessageOffering(const QString& text, int style, const QString& caption,
                                    const QStringList& /*extraButtons*/) {
        return showMessage(text, style, caption);
    }
    virtual QString askText(const QString& prompt, const QString& title, const QString& defaultText) = 0;
    // Boxes without a summary box of their own show its text as a notice.
    virtual void showSummary(const TransferSummary& summary) {
        showMessage(summary.text(), MsgBoxStyle::OkOnly, QString());
    }
};

}  // namespace tw
