#include "db/DbError.h"

namespace tw {

DbError::DbError(const QString& message, QString sqlState, int nativeError)
    : CodedError(message, std::move(sqlState), nativeError) {}

bool DbError::refusedOnlyThisStatement() const {
    if (connectionLost()) return false;
    for (const char* cls : {"53", "57", "40", "HYT"}) {
        if (sqlState().startsWith(QLatin1String(cls))) return false;
    }
    // Drivers that say HY000 for everything name the cause: SQLite "database or disk is full",
    // Oracle ORA-01653 "unable to extend table".
    const QString text = QString::fromUtf8(what());
    for (const char* words : {"disk is full", "unable to extend", "No space left", "disk full"}) {
        if (text.contains(QLatin1String(words), Qt::CaseInsensitive)) return false;
    }
    return true;
}

}  // namespace tw
