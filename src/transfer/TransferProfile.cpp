#include "transfer/TransferProfile.h"

#include "db/Oracle.h"
#include "db/Sybase.h"

namespace tw {

namespace {

// The copy opens the SQL Anywhere data source without choosing a provider.
QString sqlAnywhereDataSource(const ConnectionValues& values) { return SybaseConnectionString(values); }

}  // namespace

const TransferProfile kToOracle{
    .procedure = QStringLiteral("Form2.PushButton3_Click"),
    .target = TargetDatabase::Oracle,
    .sourceConnectionString = &sqlAnywhereDataSource,
    .targetConnectionString = &OracleConnectionString,
    .existenceIgnoresCase = false,
    .cursorType = CursorType::Static,
    .lockType = LockType::Optimistic,
    .eventsPerListItem = true,
    .errorBoxShowsStatement = false,
    .nothingCurrentMessage = QStringLiteral("Please select a table"),
    .lines = {.createSource = 100, .createTarget = 104, .busy = 108,
              .sourceCursor = 114, .sourceOpen = 116, .targetCursor = 110, .targetOpen = 112,
              .nothingCurrentMessage = 286,
              .closeSource = 280, .closeTarget = 282, .finalPointer = 284, .tailShift = 0},
};

const TransferProfile kToSqlAnywhere{
    .procedure = QStringLiteral("Form2.PushButton4_Click"),
    .target = TargetDatabase::SqlAnywhere,
    .sourceConnectionString = &OracleConnectionString,
    .targetConnectionString = &sqlAnywhereDataSource,
    .existenceIgnoresCase = true,
    .cursorType = CursorType::Default,
    .lockType = LockType::Default,
    .eventsPerListItem = false,
    .errorBoxShowsStatement = true,
    .nothingCurrentMessage = QStringLiteral("Please select a table to send."),
    .lines = {.createSource = 102, .createTarget = 100, .busy = 110,
              .sourceCursor = 112, .sourceOpen = 114, .targetCursor = 116, .targetOpen = 118,
              .nothingCurrentMessage = 294,
              .closeSource = 292, .closeTarget = 290, .finalPointer = 288, .tailShift = 8},
};

}  // namespace tw
