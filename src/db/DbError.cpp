#include "db/DbError.h"

namespace tw {

DbError::DbError(const QString& message, QString sqlState, int nativeError)
    : CodedError(message, std::move(sqlState), nativeError) {}

}  // namespace tw
