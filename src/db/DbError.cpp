#include "db/DbError.h"

namespace tw {

DbError::DbError(const QString& message, QString sqlState, int nativeError)
    : CodedError(message, std::move(sqlState), nativeError) {}

bool DbError::outOfRoom() const {
    if (sqlState().startsWith(QLatin1String("53"))) return true;
    // Drivers that say HY000 for everything name the cause: SQLite "database or disk is full",
    // Oracle ORA-01653 "unable to extend table".
    const QString text = QString::fromUtf8(what());
    for (const char* words : {"disk is full", "unable to extend", "No space left", "disk full"}) {
        if (text.contains(QLatin1String(words), Qt::CaseInsensitive)) return true;
    }
    return false;
}

}  // namespace tw
