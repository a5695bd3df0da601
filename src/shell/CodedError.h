#pragma once

#include <QString>
#include <stdexcept>

namespace tw {

// A failure that carries the codes of the component it came from (a database's SQLSTATE and
// native error), so that a report can show them apart from the message.
class CodedError : public std::runtime_error {
public:
    CodedError(const QString& message, QString sqlState, int nativeError)
        : std::runtime_error(message.toStdString()),
          m_sqlState(std::move(sqlState)),
          m_nativeError(nativeError) {}

    const QString& sqlState() const { return m_sqlState; }
    int nativeError() const { return m_nativeError; }

private:
    QString m_sqlState;
    int m_nativeError;
};

}  // namespace tw
