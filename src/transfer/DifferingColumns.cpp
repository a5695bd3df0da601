#include "transfer/DifferingColumns.h"

#include <set>

namespace tw {

QStringList differingColumns(const QStringList& columns, const QList<RowDifference>& differences) {
    std::set<qsizetype> differing;
    for (const RowDifference& source : differences) {
        if (!source.onlyInSource) continue;
        const RowDifference* closest = nullptr;
        qsizetype mostAlike = -1;
        for (const RowDifference& target : differences) {
            if (target.onlyInSource) continue;
            qsizetype alike = 0;
            for (qsizetype i = 0; i < source.values.size() && i < target.values.size(); ++i) {
                alike += source.values[i] == target.values[i];
            }
            if (alike > mostAlike) {
                mostAlike = alike;
                closest = &target;
            }
        }
        if (!closest) break;
        for (qsizetype i = 0; i < source.values.size() && i < closest->values.size(); ++i) {
            if (source.values[i] != closest->values[i]) differing.insert(i);
        }
    }
    QStringList named;
    for (const qsizetype i : differing) {
        if (i < columns.size()) named << columns[i];
    }
    return named;
}

}  // namespace tw
