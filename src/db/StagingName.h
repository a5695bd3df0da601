#pragma once

#include <QString>
#include <optional>

namespace tw {

// The table a replace fills before it takes the old table's place: the table's name (cut to
// fit the database's limit) with "~tw-stage-", the machine and the process of the copy after
// it, so that a person recognises it, no user's table is named so, and two copies at once never
// share one.
struct StagingName {
    QString tablePart;  // the table's name, or as much of it as fits
    QString host;       // four hex digits naming the machine
    qint64 pid = 0;

    QString text() const;
    // The staging name of this process for the table, within a limit in bytes of UTF-8 (0: none).
    static StagingName forTable(const QString& table, int limitBytes);
    // What a name says, where it is a staging name.
    static std::optional<StagingName> parse(const QString& name);
    // Whether the name is a staging name for the table (made under the same limit).
    static bool isFor(const QString& name, const QString& table, int limitBytes);
    // This machine's four hex digits.
    static QString thisHost();
};

// Whether a listed name is a staging table rather than a user's table.
inline bool isStagingTable(const QString& name) { return StagingName::parse(name).has_value(); }

}  // namespace tw
