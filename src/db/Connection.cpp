#include "db/Connection.h"

#include "db/Dialect.h"

namespace tw {

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

}  // namespace tw
