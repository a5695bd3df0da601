#include "db/SqlComposer.h"

#include "db/Dialect.h"
#include "db/RowCondition.h"
#include "db/SqlText.h"

namespace tw {

QString SqlComposer::quoted(const QString& name) const {
    return m_dialect ? m_dialect->quotedName(name) : quotedName(name);
}

QString SqlComposer::name(const TableRef& table) const {
    return m_dialect ? m_dialect->qualifiedName(table.schema, table.name)
                     : qualifiedName(table.schema, table.name);
}

QString SqlComposer::selectAll(const TableRef& table) const {
    return QStringLiteral("SELECT * FROM ") + name(table);
}

QString SqlComposer::selectRows(const TableRef& table, const QString& condition) const {
    return selectAll(table) + whereClause(condition);
}

QString SqlComposer::selectColumns(const TableRef& table, const QStringList& expressions,
                                   const QString& condition) const {
    if (expressions.isEmpty()) return selectRows(table, condition);
    return QStringLiteral("SELECT %1 FROM %2").arg(expressions.join(QStringLiteral(", ")), name(table)) +
           whereClause(condition);
}

QString SqlComposer::count(const TableRef& table, const QString& condition) const {
    return QStringLiteral("SELECT COUNT(*) FROM (%1) tw_counted").arg(selectRows(table, condition));
}

QString SqlComposer::createHead(const TableRef& table) const {
    return QStringLiteral("CREATE TABLE ") + name(table) + QLatin1Char('(');
}

QString SqlComposer::drop(const TableRef& table) const { return QStringLiteral("DROP TABLE ") + name(table); }

QString SqlComposer::rename(const TableRef& table, const QString& newName) const {
    if (m_dialect) return m_dialect->renameSql(table.name, newName, table.schema);
    return QStringLiteral("ALTER TABLE ") + name(table) + QStringLiteral(" RENAME TO ") + quoted(newName);
}

QString SqlComposer::renameTwo(const TableRef& first, const QString& firstTo, const QString& second,
                               const QString& secondTo) const {
    return m_dialect ? m_dialect->renameTwoSql(first.name, firstTo, second, secondTo, first.schema)
                     : QString();
}

QString SqlComposer::insertValuesHead(const TableRef& table) const {
    return QStringLiteral("INSERT INTO ") + name(table) + QStringLiteral(" VALUES(");
}

QString SqlComposer::insertParameters(const TableRef& table, const QStringList& columns) const {
    QStringList quotedColumns, markers;
    for (const QString& column : columns) {
        quotedColumns << quoted(column);
        markers << QStringLiteral("?");
    }
    return QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
        .arg(name(table), quotedColumns.join(QStringLiteral(", ")), markers.join(QStringLiteral(", ")));
}

QString SqlComposer::deleteAll(const TableRef& table) const {
    return QStringLiteral("DELETE FROM ") + name(table);
}

QString SqlComposer::insertSelect(const TableRef& table, const QStringList& columns, const TableRef& from,
                                  const QStringList& fromColumns) const {
    QStringList into, taken;
    for (const QString& column : columns) into << quoted(column);
    for (const QString& column : fromColumns) taken << quoted(column);
    return QStringLiteral("INSERT INTO %1 (%2) SELECT %3 FROM %4")
        .arg(name(table), into.join(QStringLiteral(", ")), taken.join(QStringLiteral(", ")), name(from));
}

}  // namespace tw
