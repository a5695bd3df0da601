#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace tw {

// A row that one side holds more often than the other, its values as a person reads them
// (long ones shortened).
struct RowDifference {
    bool onlyInSource = true;  // else only in the target
    QStringList values;
    QList<QByteArray> compared;  // each value as the verification compares it; none: as shown
};

// How a copied table compares with what the copy read from its source.
struct Verification {
    qint64 sourceRows = 0;
    qint64 targetRows = 0;
    bool matches = false;
    // Where it matches: what the copy changes by design, and how often ("2 empty texts as NULL").
    QStringList knownChanges;
    QList<RowDifference> differences;  // the first few
    QStringList differingColumns;      // where those rows differ, as far as they tell
    QString error;                     // the target could not be read back: nothing is known
};

}  // namespace tw
