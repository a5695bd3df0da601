#include "cli/FailureStep.h"

#include <QRegularExpression>
#include <QStringList>

namespace tw::cli {

namespace {

// The step is what the database was given: a swap's rename is the swap, though the user is
// shown the drop of their table.
QString statementOf(const Failure& failure) {
    if (!failure.sent.isEmpty()) return failure.sent.trimmed();
    return (failure.statement ? *failure.statement : failure.composing).trimmed();
}

}  // namespace

QString failureStep(const Failure& failure) {
    const QString statement = statementOf(failure).left(400).toUpper();
    // A row refused for a value it holds is refused before its statement is composed.
    if (statement.isEmpty()) return failure.row > 0 ? QStringLiteral("INSERT") : QString();
    const auto has = [&](const char* pattern) {
        return statement.contains(QRegularExpression(QString::fromLatin1(pattern)));
    };
    // A staging table takes its place by a rename; rows for a table the target has go in
    // through one INSERT … SELECT, after a DELETE for a truncate.
    if (has("^(RENAME\\b|EXEC\\S*\\s+SP_RENAME\\b|ALTER\\s+TABLE\\b.*\\bRENAME\\b)"))
        return QStringLiteral("the swap");
    if (has("^DELETE\\b")) return QStringLiteral("the load");
    if (has("^INSERT\\b"))
        return has("\\bVALUES\\b") || !has("\\bSELECT\\b") ? QStringLiteral("INSERT")
                                                           : QStringLiteral("the load");
    if (has("^CREATE\\s+TABLE\\b")) return QStringLiteral("CREATE TABLE");
    if (has("^DROP\\s+TABLE\\b")) return QStringLiteral("DROP TABLE");
    return statement.section(QRegularExpression(QStringLiteral("\\W")), 0, 0, QString::SectionSkipEmpty);
}

}  // namespace tw::cli
