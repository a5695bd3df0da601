#pragma once

#include <QList>
#include <QString>

#include "transfer/PairCheck.h"

namespace tw::cli {

// A check's verdicts, a line per kind of column, direction and copy: as text for a person, or
// as one JSON document.
QString checkText(const QList<CheckVerdict>& verdicts);
QString checkJson(const QList<CheckVerdict>& verdicts, const QString& first, const QString& second,
                  int exitCode);

// Whether every kind arrived exactly.
bool allExact(const QList<CheckVerdict>& verdicts);

}  // namespace tw::cli
