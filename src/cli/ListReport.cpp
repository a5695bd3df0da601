#include "cli/ListReport.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "shell/ReportLines.h"

namespace tw::cli {

namespace {

qint64 rowsOf(const ListedTables& listed, qsizetype index) { return listed.rows.value(index, -1); }

}  // namespace

QString listText(const QList<ListedTables>& listed, bool withRows, bool namesDatabase) {
    QString text;
    for (const ListedTables& database : listed) {
        for (qsizetype i = 0; i < database.tables.size(); ++i) {
            // A name with a line end or a tab in it must not read as two entries.
            QStringList fields{visibleText(database.tables[i])};
            if (namesDatabase) fields.prepend(database.database);
            if (withRows) {
                const qint64 rows = rowsOf(database, i);
                fields << (rows < 0 ? QStringLiteral("-") : QString::number(rows));
            }
            text += fields.join(QLatin1Char('\t')) + QLatin1Char('\n');
        }
    }
    return text;
}

QString listJson(const QList<ListedTables>& listed, bool withRows, int exitCode) {
    QJsonArray databases;
    for (const ListedTables& database : listed) {
        QJsonArray tables;
        for (qsizetype i = 0; i < database.tables.size(); ++i) {
            QJsonObject table{{"table", database.tables[i]}};
            if (withRows) {
                const qint64 rows = rowsOf(database, i);
                table.insert("rows", rows < 0 ? QJsonValue() : QJsonValue(static_cast<double>(rows)));
            }
            tables.append(table);
        }
        databases.append(QJsonObject{{"database", database.database}, {"tables", tables}});
    }
    const QJsonObject document{{"command", "list"}, {"databases", databases}, {"exitCode", exitCode}};
    return QString::fromUtf8(QJsonDocument(document).toJson(QJsonDocument::Indented));
}

}  // namespace tw::cli
