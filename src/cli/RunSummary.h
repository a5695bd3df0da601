#pragma once

#include <QList>
#include <QString>

#include "cli/TerminalFrontEnd.h"
#include "transfer/CopyPreview.h"

namespace tw::cli {

// Rows as columns lined up two blanks apart: the first wordColumns to the left, the rest (figures)
// to the right.
QString alignedTable(const QList<QStringList>& rows, int wordColumns);

// The table printed at the end: per table its status, rows read, written and failed, seconds,
// and with a verification whether the target matches; then a line of totals, with the run's
// seconds (the tables' own added up where none are given).
QString summaryTable(const QList<TableResult>& results, bool verified, std::optional<double> runSeconds = {});

// The same, with every failure and the totals, as one JSON document; with the condition the rows
// met, where the copy took only some, and the write mode, where it is not replace.
QString summaryJson(const QString& command, const QList<TableResult>& results, const QList<Failure>& failures,
                    int exitCode, const QString& rowCondition = {}, const QString& mode = {},
                    std::optional<double> runSeconds = {});

// A dry run's plan, table by table: as text for a person, or as one JSON document.
QString previewText(const QList<TablePreview>& previews);
QString previewJson(const QList<TablePreview>& previews, int exitCode);

}  // namespace tw::cli
