#include "transfer/DifferingColumns.h"

#include <set>

namespace tw {

namespace {

// Whether the two rows hold the same value in the column, compared as the verification does
// (10.50 and 10.5 alike in a column of numbers), or as shown where that is not known.
bool sameValue(const RowDifference& one, const RowDifference& other, qsizetype column) {
    if (column < one.compared.size() && column < other.compared.size())
        return one.compared[column] == other.compared[column];
    return one.values[column] == other.values[column];
}

}  // namespace

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
                alike += sameValue(source, target, i);
            }
            if (alike > mostAlike) {
                mostAlike = alike;
                closest = &target;
            }
        }
        if (!closest) break;
        for (qsizetype i = 0; i < source.values.size() && i < closest->values.size(); ++i) {
            if (!sameValue(source, *closest, i)) differing.insert(i);
        }
    }
    QStringList named;
    for (const qsizetype i : differing) {
        if (i < columns.size()) named << columns[i];
    }
    return named;
}

}  // namespace tw
