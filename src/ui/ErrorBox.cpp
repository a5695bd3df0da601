#include "ui/ErrorBox.h"

#include "shell/ReportLines.h"
#include "ui/Dialogs.h"

namespace tw {

namespace {

const QString kErrorCaption = QStringLiteral("Application Error");

// The beginning names the statement and the table, and the box stays quick to draw and
// narrower than the screen.
QString shownStatement(const QString& statement) { return shortened(statement, kShownStatementLength); }

}  // namespace

const QString ErrorBox::kStopButton = QStringLiteral("Stop Transfer");
const QString ErrorBox::kNoMoreBoxesButton = QStringLiteral("Don't Show Again for This Table");

QString procedurePath(const QString& procedure) {
    return QStringLiteral("in TablewrightApp2021/08/31.") + procedure + QLatin1Char(' ');
}

QString applicationErrorText(const QString& description, const QString& procedurePath, int line,
                             const QString* statement) {
    QString text = description + QStringLiteral("\r\n") + procedurePath + QStringLiteral("at line ") +
                   QString::number(line) + QStringLiteral("\r\r") +
                   QStringLiteral("Please email screenshot of this message to ") + kSupportAddress;
    if (statement) text += QStringLiteral("\r\rsql: ") + shownStatement(*statement);
    return text;
}

AfterFailure ErrorBox::failed(const Failure& failure) {
    return ask(failure, false) == Answer::Stop ? AfterFailure::Stop : AfterFailure::Resume;
}

ErrorBox::Answer ErrorBox::ask(const Failure& failure, bool offerNoMoreBoxes) {
    const QString text =
        applicationErrorText(failure.description, procedurePath(failure.procedure), failure.line,
                             failure.statement ? &*failure.statement : nullptr);
    QStringList extras;
    if (failure.stopOffered) extras << kStopButton;
    if (offerNoMoreBoxes) extras << kNoMoreBoxesButton;
    const int pressed = m_dialogs.msgBox(text, MsgBoxStyle::Exclamation, kErrorCaption, extras);
    const QString chosen = extras.value(pressed - MsgBoxResult::Extra);
    if (chosen == kStopButton) return Answer::Stop;
    if (chosen == kNoMoreBoxesButton) return Answer::NoMoreBoxesForTable;
    return Answer::Resume;
}

}  // namespace tw
