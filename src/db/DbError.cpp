#include "db/DbError.h"

namespace tw {

DbError::DbError(const QString& message, QString sqlState, int nativeError)
    : std::runtime_error(message.toStdString()),
      m_sqlState(std::move(sqlState)),
      m_nativeError(nativeError) {}

}  // namespace tw
