#pragma once

#include <QString>
#include <functional>
#include <optional>

#include "db/Connection.h"
#include "db/Dialect.h"
#include "shell/Procedure.h"
#include "transfer/ComposedStatement.h"
#include "transfer/CopyEngine.h"
#include "transfer/CopySteps.h"
#include "transfer/StagingTables.h"
#include "transfer/TableInProgress.h"

namespace tw {

// What putting a filled staging table in its place works with, from the copy it belongs to.
struct SwapContext {
    Procedure& proc;
    Connection& target;
    const Dialect& dialect;  // the product the target connection speaks
    QString schema;          // where the tables are, where the copy names one
    StagingTables& staging;
    ComposedStatement& composed;
    int tableNameLimit;
    StepLines lines;  // the copy's line numbers, which the user reads when a step fails
    // The replaced table leaves the target list, under the name the list writes it with.
    std::function<void(const QString&)> unlist;
    // Sees an append's staged rows before they go in, and how many the load added.
    CopyObserver* observer = nullptr;
};

// A copy's staging table, every row it will get written (table.filled), and what becomes of it:
// it takes the place of the old table or the name of a new one, or its rows go into the table
// the target has, or it goes and leaves the old table as it was.
class StagedTable {
public:
    StagedTable(const SwapContext& context, TableInProgress& table)
        : m_context(context),
          m_proc(context.proc),
          m_target(context.target),
          m_dialect(context.dialect),
          m_staging(context.staging),
          m_composed(context.composed),
          m_table(table) {}

    bool swapIn(QString& tableName, const QString& newName);
    bool loadExisting(const QString& tableName);
    bool nameNewTable();
    bool keepOldTable();

private:
    std::optional<qint64> countedQuietly(const QString& tableName) noexcept;
    bool swapInOneTransaction();
    bool swapInSteps(const QString& tableName);
    bool swapStep(const QString& statement, CopyStep step = CopyStep::Drop,
                  const std::function<void()>& before = {}, const std::function<void()>& after = {},
                  const QString& shown = {});
    bool renameLeavesKeys(const QString& tableName);
    bool takeFreedName(const QString& tableName);
    QString userDrop() const;
    void dropStaging() noexcept;
    void nameKeysAfterTable() noexcept;

    const SwapContext m_context;  // its own: the caller's may be a temporary
    Procedure& m_proc;
    Connection& m_target;
    const Dialect& m_dialect;
    StagingTables& m_staging;
    ComposedStatement& m_composed;
    TableInProgress& m_table;
};

}  // namespace tw
