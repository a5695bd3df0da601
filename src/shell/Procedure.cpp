#include "shell/Procedure.h"


namespace tw {

namespace {
const QString kErrorCaption = QStringLiteral("Application Error");
const QString kPathPrefix = QStringLiteral("in TablewrightApp2021/08/31.");

// A statement may hold a value of megabytes; the box shows its beginning, which names the
// statement and the table, and stays quick to draw and narrower than the screen.
QString shownStatement(const QString& statement) {
    if (statement.size() <= kShownStatementLength) return statement;
    qsizetype cut = kShownStatementLength;
    if (statement.at(cut - 1).isHighSurrogate()) --cut;  // never half a character
    return statement.left(cut) + QStringLiteral(" \u2026");
}

}  // namespace

QString applicationErrorText(const QString& description, const QString& procedurePath, int line,
                             const QString* statement) {
    QString text = description + QStringLiteral("\r\n") + procedurePath + QStringLiteral("at line ") +
                   QString::number(line) + QStringLiteral("\r\r") +
                   QStringLiteral("Please email screenshot of this message to ") + kSupportAddress;
    if (statement) text += QStringLiteral("\r\rsql: ") + shownStatement(*statement);
    return text;
}

Procedure::Procedure(Dialogs& dialogs, const QString& name)
    : m_dialogs(dialogs), m_path(kPathPrefix + name + QLatin1Char(' ')) {}

void Procedure::report(int line, const std::exception& failure) {
    const QString description = QString::fromUtf8(failure.what());
    QString text;
    if (m_statement) {
        const QString statement = m_statement();
        text = applicationErrorText(description, m_path, line, &statement);
    } else {
        text = applicationErrorText(description, m_path, line);
    }
    if (m_dialogs.msgBox(text, MsgBoxStyle::Exclamation, kErrorCaption, m_stopButton) ==
        MsgBoxResult::Extra) {
        m_stopRequested = true;
    }
}

}  // namespace tw
