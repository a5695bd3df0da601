#include "shell/Procedure.h"

#include <exception>

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

void Procedure::step(int line, const std::function<void()>& statement) {
    try {
        statement();
    } catch (const std::exception& failure) {
        report(line, QString::fromUtf8(failure.what()));
    }
}

bool Procedure::test(int line, const std::function<bool()>& condition) {
    try {
        return condition();
    } catch (const std::exception& failure) {
        report(line, QString::fromUtf8(failure.what()));
        return true;
    }
}

void Procedure::report(int line, const QString& description) {
    m_dialogs.msgBox(applicationErrorText(description, m_path, line, m_statement),
                     MsgBoxStyle::Exclamation, kErrorCaption);
}

}  // namespace tw
