#pragma once

#include <QString>

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
inline constexpr int Extra = 100;  // the one further button a box may offer
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
        return extraButton.isEmpty() ? showMessage(text, style, caption)
                                     : showMessageOffering(text, style, caption, extraButton);
    }

    // A modal input dialog with OK and Cancel; Cancel gives the empty text.
    QString inputBox(const QString& prompt, const QString& title, const QString& defaultText) {
        return askText(prompt, title, defaultText);
    }

protected:
    virtual int showMessage(const QString& text, int style, const QString& caption) = 0;
    // A box that cannot offer the further button shows the usual ones.
    virtual int showMessageOffering(const QString& text, int style, const QString& caption,
                                    const QString& /*extraButton*/) {
        return showMessage(text, style, caption);
    }
    virtual QString askText(const QString& prompt, const QString& title, const QString& defaultText) = 0;
};

}  // namespace tw
