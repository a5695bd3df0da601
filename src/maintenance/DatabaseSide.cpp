#include "maintenance/DatabaseSide.h"

#include "db/Oracle.h"
#include "db/SqlText.h"
#include "db/Sybase.h"

namespace tw {

QString SybaseRenameSql(const QString& oldName, const QString& newName) {
    return QStringLiteral("ALTER TABLE ") + quotedName(oldName) + QStringLiteral(" RENAME ") +
           quotedName(newName) + QLatin1Char(';');
}

QString OracleRenameSql(const QString& oldName, const QString& newName) {
    return QStringLiteral("RENAME ") + quotedName(oldName) + QStringLiteral(" TO ") + quotedName(newName);
}

const DatabaseSide kSybaseSide{QStringLiteral("Form2.PushButton1_Click"),
                               QStringLiteral("Form2.PushButton6_Click"),
                               true,
                               &SybaseConnectionTarget,
                               &SybaseRenameSql,
                               0};

const DatabaseSide kOracleSide{QStringLiteral("Form2.PushButton5_Click"),
                               QStringLiteral("Form2.PushButton7_Click"),
                               false,
                               &OracleConnectionTarget,
                               &OracleRenameSql,
                               -2};

}  // namespace tw
