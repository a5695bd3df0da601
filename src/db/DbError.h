#pragma once

#include <QString>

#include "shell/CodedError.h"

namespace tw {

// A failed database call. The message is what the driver said, shown to the user as it comes.
class DbError : public CodedError {
public:
    DbError(const QString& message, QString sqlState = QString(), int nativeError = 0);

    // The connection the call went through is gone: nothing more can be done on it. An
    // SQLSTATE of class 08 says so, and so does a driver asked after another failure.
    bool connectionLost() const { return m_connectionLost || sqlState().startsWith(QLatin1String("08")); }
    void markConnectionLost() { m_connectionLost = true; }
    // The database has no room for more: SQLSTATE class 53, or a full disk in the driver's words.
    // Nothing more can be written to it until someone makes room.
    bool outOfRoom() const;

private:
    bool m_connectionLost = false;
};

}  // namespace tw
