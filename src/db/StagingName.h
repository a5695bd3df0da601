#pragma once

#include <QString>
#include <optional>

namespace tw {

// The table a copy fills before it takes the table's own name: the table's name (where it
// does not fit the database's limit, its start and a digest of all of it) with "~tw-stage-",
// the machine and the process of the copy after it, so that a person recognises it, two tables
// never share one, and two copies at once never share one. A name alone never shows that the
// program made a table: see StagingRecords.
struct StagingName {
    static constexpr int kHostDigits = 10;

    QString tablePart;  // the table's name, or its start and a digest of it
    QString host;       // hex digits naming the machine
    qint64 pid = 0;

    QString text() const;
    // Where a swap that cannot be one transaction puts the old table while the new one takes
    // its name: "~tw-kept-" in place of "~tw-stage-", which no copy takes for a leftover.
    QString asideText() const;
    // The staging name of this process for the table, within a limit in bytes of UTF-8 (0: none).
    static StagingName forTable(const QString& table, int limitBytes);
    // What a name says, where it is a staging name.
    static std::optional<StagingName> parse(const QString& name);
    // Whether the name is a staging name for the table (made under the same limit).
    static bool isFor(const QString& name, const QString& table, int limitBytes);
    // This machine's hex digits.
    static QString thisHost();

    // The staging names this process is filling now. claim is false when the name is being
    // filled already; a name of this process that is not claimed is no copy's any more.
    static bool claim(const QString& name);
    static void release(const QString& name);
    static bool claimedHere(const QString& name);
};

}  // namespace tw
