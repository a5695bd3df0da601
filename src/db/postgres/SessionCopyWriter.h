#pragma once

#include <QString>
#include <memory>

#include "db/BulkWriteRequest.h"
#include "db/Connection.h"

namespace tw::postgres {

// A writer through COPY on a connection of its own to the database the driver reached by
// completedConnection (the driver's completed connection string, or its data source's), which
// reads the rows' texts as the request's session does; none where libpq cannot reach it.
std::unique_ptr<BatchWriter> sessionCopyWriter(const BulkWriteRequest& request,
                                               const QString& completedConnection);

}  // namespace tw::postgres
