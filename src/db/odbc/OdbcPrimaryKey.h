#pragma once

#include <QString>
#include <QStringList>

#include "db/odbc/CatalogueValues.h"

namespace tw::odbc {

struct OdbcSession;

// The primary key's columns in key order, of the table the catalogue lists under that catalogue
// and schema; none where it has no key. Throws DbError where the driver cannot tell.
QStringList readPrimaryKey(const OdbcSession& session, const CatalogueName& catalog,
                           const CatalogueName& schema, const QString& table);

}  // namespace tw::odbc
