#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <vector>

#include "transfer/CopyStatements.h"

namespace tw {

class Recordset;

// How a row's empty values (texts of no characters, bytes of none) are taken: a source row's as
// the copy writes them, as NULL (and counted), or, where the copy keeps them, as themselves in
// a column of text or bytes and as NULL (counted) elsewhere; a row read back from the target as
// it holds them, apart from NULL. So a target matches where it holds NULL for an empty value
// the copy writes as NULL, and not where it holds the empty value then.
enum class EmptyTexts { AsWritten, KeptWhereHeld, AsHeld };

// One row's values as the copy treats them, in a form that compares equal exactly when the
// copy kept them: numbers by value (10.50 as 10.5), long binary as its bytes, the empty text
// as the EmptyTexts say, all else as its exact text.
struct CanonicalRow {
    QByteArray bytes;         // what is hashed and compared
    QStringList display;      // the values as a person reads them, when asked for
    QList<QByteArray> parts;  // each value as it is compared, when asked for
    int emptyTexts = 0;       // the empty texts taken as NULL
    int emptyBytes = 0;       // the empty binary values taken as NULL
};
CanonicalRow canonicalRow(const QList<ColumnKind>& kinds, const Recordset& row, EmptyTexts empty,
                          bool readable = false);

// A number's value in one spelling: digits without leading or trailing zeros and a power of
// ten ("105e-1" for 10.50 and 10.5, "0" for any zero). Text that is not a decimal number comes
// back as it was.
QByteArray canonicalNumber(QByteArrayView text);

// The 128-bit hash of a canonical row.
struct RowHash {
    quint64 high = 0;
    quint64 low = 0;
    bool operator==(const RowHash&) const = default;
};
RowHash hashRow(const QByteArray& canonical);

// An order-independent digest of a table's rows, kept per bucket so that a difference can be
// narrowed to a few buckets and found there without holding the table. Memory is fixed.
class TableDigest {
public:
    static constexpr int kBuckets = 16384;

    TableDigest();
    void add(const RowHash& row);
    // Takes away the rows of a digest of part of these rows (the table before rows were added
    // to it): what is left digests the rows added, as though read alone.
    void subtract(const TableDigest& earlier);
    qint64 rows() const { return m_rows; }
    bool operator==(const TableDigest& other) const { return m_buckets == other.m_buckets; }
    // The first buckets, at most `most`, whose rows differ from the other digest's.
    QList<int> differingBuckets(const TableDigest& other, int most) const;
    static int bucketOf(const RowHash& row) { return static_cast<int>(row.low % kBuckets); }

private:
    struct Bucket {
        qint64 count = 0;
        quint64 high = 0;  // sums of the rows' hashes, wrapping
        quint64 low = 0;
        bool operator==(const Bucket&) const = default;
    };
    std::vector<Bucket> m_buckets;
    qint64 m_rows = 0;
};

}  // namespace tw
