#pragma once

#include <QString>
#include <stdexcept>

namespace tw {

// A failed database call. The message is what the driver said, shown to the user as it comes.
class DbError : public std::runtime_error {
public:
    DbError(const QString& message, QString sqlState = QString(), int nativeError = 0);

    const QString& sqlState() const { return m_sqlState; }
    int nativeError() const { return m_nativeError; }

private:
    QString m_sqlState;
    int m_nativeError;
};

}  // namespace tw
