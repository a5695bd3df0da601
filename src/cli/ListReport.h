#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace tw::cli {

// One database's tables as list found them, with their row counts where asked (-1: not counted).
struct ListedTables {
    QString database;
    QStringList tables;
    QList<qint64> rows;
};

// One table a line, tab-separated: the database first where several are listed, the row count
// last where counted ("-" where it could not be).
QString listText(const QList<ListedTables>& listed, bool withRows, bool namesDatabase);

// The same as one JSON document: {"databases": [{"database", "tables": [{"table", "rows"}]}]}.
QString listJson(const QList<ListedTables>& listed, bool withRows, int exitCode);

}  // namespace tw::cli
