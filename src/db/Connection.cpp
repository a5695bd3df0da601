#include "db/Connection.h"

#include "db/DbError.h"
#include "db/Dialect.h"
#include "db/MaskedSecret.h"

namespace tw {

void Connection::open(const ConnectionTarget& target) {
    try {
        connect(target);
        prepareSession();
    } catch (const DbError& failure) {
        const QString message = QString::fromUtf8(failure.what());
        const QString masked = maskedSecret(message, target.secret());
        if (masked == message) throw;
        DbError shown(masked, failure.sqlState(), failure.nativeError());
        if (failure.connectionLost()) shown.markConnectionLost();
        throw shown;
    }
}

void Connection::prepareSession() {
    const Dialect* spoken = dialect();
    if (!spoken) return;
    for (const QString& statement : spoken->sessionSetUp()) {
        try {
            execute(statement);
        } catch (...) {
            try {
                close();
            } catch (...) {
                // Already gone; the failure that matters is the set-up's.
            }
            throw;
        }
    }
}

void Connection::makeReadOnly() {
    if (const Dialect* spoken = dialect()) {
        if (spoken->readsInOneTransaction()) beginTransaction();
        for (const QString& statement : spoken->readOnlySetUp()) execute(statement);
    }
}

}  // namespace tw
