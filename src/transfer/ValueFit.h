#pragma once

#include <QString>

#include "db/Dialect.h"
#include "shell/Variant.h"

namespace tw {

// Whether a value read from the source can go into its target column as it is. A source that
// keeps values of any storage class in any column (SQLite) can give bytes in a column of text,
// or text with a NUL character: such a value is carried where the target keeps it, and its row
// is refused otherwise, never written changed.
struct ValueFit {
    QString refusal;       // why the row cannot go, naming the column and the value; empty: it can
    bool asBytes = false;  // the value goes as bytes into a column that is not one of bytes
};

// What a target column drops of a value of its kind, beyond digits after the point, without a
// word: a DATE a time of day, a TIME a date, a 4-byte float the digits a double has beyond it.
enum class ValueLimit { None, DateOnly, TimeOnly, FourByteFloat };

// fieldType: the ADO type the source gives the column; kind: what the target's column holds;
// decimals: the digits after the point (of a number, or of a second) the target's column keeps,
// -1 where any; limit: what else it would drop.
ValueFit fitOf(const QString& column, const Variant& value, int fieldType, ColumnKind kind,
               const Dialect& target, int decimals = -1, ValueLimit limit = ValueLimit::None);

}  // namespace tw
