#pragma once

#include <QString>
#include <QStringList>
#include <optional>

#include "shell/FrontEnd.h"

namespace tw {

// The text on one line: line ends and tabs become blanks, and the ends are trimmed.
QString oneLine(QString text);

// The text with its control characters written as escapes (\n, \t, \r, \x01), so that a name
// or a value never breaks or garbles the line it is written on; all else stays as it is.
QString visibleText(const QString& text);

// At most chars characters, never half of one, followed by " …" when cut.
QString shortened(const QString& text, qsizetype chars);

// A failure on one line: table, row, procedure and line, SQLSTATE, the message, and the first
// statementChars characters of the statement. Given a step ("INSERT"), the line names it in place
// of the procedure and line (nothing, where the step is empty).
QString failureLine(const Failure& failure, int statementChars = 200,
                    const std::optional<QString>& step = std::nullopt);

// "EMP: 14 rows read, 13 written, 1 failed, 0.02 s".
QString outcomeLine(const TableOutcome& outcome);

// What a verification of the table found: the verdict, then each row found on one side only.
// That another copy replaced the same table at the same time; empty where none did.
QString otherCopyLine(const TableOutcome& outcome);
// What stays of a copy whose own table could not be dropped; empty where nothing does.
QString leftoverLine(const TableOutcome& outcome);
// The faithful copy's columns that got the plain copy's type, in one line; empty where none did.
QString fellBackLine(const TableOutcome& outcome);
// "2 empty texts became NULL (Oracle keeps no empty text)": the source's empty texts that a
// table made or filled now holds as NULL, and why; empty where there were none.
QString emptyTextsNote(const TableOutcome& outcome);
// The same as a line of its own, naming the table.
QString emptyTextsLine(const TableOutcome& outcome);
QStringList verificationLines(const QString& table, const Verification& verification);

}  // namespace tw
