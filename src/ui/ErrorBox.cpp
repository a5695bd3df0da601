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
    const QString text =
        applicationErrorText(failure.description, procedurePath(failure.procedure), failure.line,
                             failure.statement ? &*failure.statement : nullptr);
    const int pressed = m_dialogs.msgBox(text, MsgBoxStyle::Exclamation, kErrorCaption,
                                         failure.stopOffered ? kStopButton : QString());
    return pressed == MsgBoxResult::Extra ? AfterFailure::Stop : AfterFailure::Resume;
}

}  // namespace tw
