#include "ui/QtDialogs.h"

#include <QApplication>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>

#include "ui/AppTitle.h"
#include "ui/SummaryDialog.h"

namespace tw {

namespace {

QMessageBox::Icon iconOf(int style) {
    switch (style & 0x70) {
        case MsgBoxStyle::Critical:
            return QMessageBox::Critical;
        case MsgBoxStyle::Question:
            return QMessageBox::Question;
        case MsgBoxStyle::Exclamation:
            return QMessageBox::Warning;
        case MsgBoxStyle::Information:
            return QMessageBox::Information;
        default:
            return QMessageBox::NoIcon;
    }
}

QString captionOr(const QString& caption) { return caption.isEmpty() ? appTitle() : caption; }

// Texts carry Windows line ends (CR LF, or CR alone); Qt breaks lines at LF only.
QString withLineFeeds(QString text) {
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

}  // namespace

int QtDialogs::showMessage(const QString& text, int style, const QString& caption) {
    return showMessageOffering(text, style, caption, QStringList());
}

int QtDialogs::showMessageOffering(const QString& text, int style, const QString& caption,
                                   const QStringList& extraButtons) {
    const bool yesNo = MsgBoxStyle::isYesNo(style);
    QMessageBox box(iconOf(style), captionOr(caption), withLineFeeds(text),
                    yesNo ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Ok,
                    QApplication::activeWindow());
    box.setTextFormat(Qt::PlainText);  // a table name is never markup
    QList<QPushButton*> extras;
    for (const QString& extraButton : extraButtons) {
        // After the usual buttons; Enter and Escape keep meaning what they meant without them.
        extras << box.addButton(extraButton, QMessageBox::RejectRole);
    }
    if (!extras.isEmpty()) {
        QAbstractButton* usual = box.button(yesNo ? QMessageBox::No : QMessageBox::Ok);
        box.setEscapeButton(usual);
        box.setDefaultButton(
            static_cast<QPushButton*>(box.button(yesNo ? QMessageBox::Yes : QMessageBox::Ok)));
    }
    const int pressed = box.exec();
    const auto extra = extras.indexOf(static_cast<QPushButton*>(box.clickedButton()));
    if (extra >= 0) return MsgBoxResult::Extra + static_cast<int>(extra);
    if (!yesNo) return MsgBoxResult::Ok;
    return pressed == QMessageBox::Yes ? MsgBoxResult::Yes : MsgBoxResult::No;
}

QString QtDialogs::askText(const QString& prompt, const QString& title, const QString& defaultText) {
    bool ok = false;
    const QString answer = QInputDialog::getText(QApplication::activeWindow(), captionOr(title), prompt,
                                                 QLineEdit::Normal, defaultText, &ok);
    return ok ? answer : QString();
}

void QtDialogs::showSummary(const TransferSummary& summary) {
    SummaryDialog box(summary, QApplication::activeWindow());
    box.setWindowTitle(appTitle());
    box.exec();
}

}  // namespace tw
