#include "db/RowCondition.h"

#include "db/DbError.h"

namespace tw {

QString rowConditionRefusal(const QString& condition) {
    if (!condition.contains(QLatin1Char(';'))) return QString();
    const QString refusal = QStringLiteral(
        "the row condition holds a semicolon, which would end the statement it is sent in: write it as "
        "one condition, a semicolon only inside a quoted text ('a;b')");
    // Where the products read a text's end differently, no semicolon can be told to be inside one;
    // SQL Anywhere and SQLite read a quote inside brackets as part of a name.
    static const char* const unclear[] = {"\\", "\"", "`", "[", "$", "#", "--", "/*"};
    for (const char* mark : unclear) {
        if (condition.contains(QLatin1String(mark))) return refusal;
    }
    bool quoted = false;
    for (const QChar c : condition) {
        if (c == QLatin1Char('\'')) {
            quoted = !quoted;  // a doubled quote inside a text leaves and enters it again
        } else if (c == QLatin1Char(';') && !quoted) {
            return refusal;
        }
    }
    return quoted ? refusal : QString();
}

QString whereClause(const QString& condition) {
    if (condition.isEmpty()) return QString();
    const QString refusal = rowConditionRefusal(condition);
    if (!refusal.isEmpty()) throw DbError(refusal.left(1).toUpper() + refusal.mid(1) + QLatin1Char('.'));
    return QStringLiteral(" WHERE ") + condition;
}

}  // namespace tw
