#include "shell/Procedure.h"


namespace tw {

namespace {
const QString kErrorCaption = QStringLiteral("Application Error");
const QString kPathPrefix = QStringLiteral("in TablewrightApp2021/08/31.");
}  // namespace

QString applicationErrorText(const QString& description, const QString& procedurePath, int line,
                             const QString* statement) {
    QString text = description + QStringLiteral("\r\n") + procedurePath + QStringLiteral("at line ") +
                   QString::number(line) + QStringLiteral("\r\r") +
                   QStringLiteral("Please email screenshot of this message to ") + kSupportAddress;
    if (statement) text += QStringLiteral("\r\rsql: ") + *statement;
    return text;
}

Procedure::Procedure(Dialogs& dialogs, const QString& name)
    : m_dialogs(dialogs), m_path(kPathPrefix + name + QLatin1Char(' ')) {}

void Procedure::report(int line, const std::exception& failure) {
    m_dialogs.msgBox(applicationErrorText(QString::fromUtf8(failure.what()), m_path, line, m_statement),
                     MsgBoxStyle::Exclamation, kErrorCaption);
}

}  // namespace tw
