#pragma once

#include <QList>
#include <QStringList>

#include "shell/TableList.h"
#include "support/ScriptedDialogs.h"

namespace tw::test {

// What a list shows, top to bottom.
inline QStringList items(const TableList& list) {
    QStringList names;
    for (int i = 0; i < list.count(); ++i) names << list.text(i);
    return names;
}

// The statements a recorded connection was given to execute, in order.
inline QStringList executed(const QStringList& log) {
    QStringList statements;
    for (const QString& entry : log) {
        if (entry.startsWith(QLatin1String("execute "))) statements << entry.mid(8);
    }
    return statements;
}

// The line numbers the error boxes of one procedure reported, in order.
inline QList<int> errorLines(const ScriptedDialogs& dialogs, const QString& procedure) {
    QList<int> lines;
    const QString marker = "in TablewrightApp2021/08/31." + procedure + " at line ";
    for (const ShownBox& box : dialogs.shown) {
        const qsizetype at = box.text.indexOf(marker);
        if (at >= 0) lines << box.text.mid(at + marker.size()).section(QLatin1Char('\r'), 0, 0).toInt();
    }
    return lines;
}

}  // namespace tw::test
