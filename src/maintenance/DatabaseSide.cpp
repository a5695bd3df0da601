#include "maintenance/DatabaseSide.h"

#include "db/Dialect.h"
#include "db/Oracle.h"
#include "db/Sybase.h"

namespace tw {

const DatabaseSide kSybaseSide{QStringLiteral("Form2.PushButton1_Click"),
                               QStringLiteral("Form2.PushButton6_Click"),
                               true,
                               &SybaseConnectionTarget,
                               &sqlAnywhereDialect(),
                               0};

const DatabaseSide kOracleSide{QStringLiteral("Form2.PushButton5_Click"),
                               QStringLiteral("Form2.PushButton7_Click"),
                               false,
                               &OracleConnectionTarget,
                               &oracleDialect(),
                               -2};

}  // namespace tw
