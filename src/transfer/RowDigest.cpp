#include "transfer/RowDigest.h"

#include <QCryptographicHash>
#include <QRegularExpression>
#include <QtEndian>

#include "db/Connection.h"

namespace tw {

namespace {

// A long-binary value as bytes. Some drivers read a binary column back as its SQL literal
// (the SQLite driver gives X'00FF10'); that literal stands for the same bytes.
QByteArray binaryBytes(const Variant& value) {
    if (value.isBinary()) return value.bytes();
    static const QRegularExpression literal(QStringLiteral("^[Xx]'((?:[0-9A-Fa-f]{2})*)'$"));
    const QString text = value.toString();
    const QRegularExpressionMatch match = literal.match(text);
    return match.hasMatch() ? QByteArray::fromHex(match.captured(1).toLatin1()) : QByteArray();
}

void appendPart(QByteArray& out, char tag, QByteArrayView part) {
    out += tag;
    const quint32 size = qToBigEndian(static_cast<quint32>(part.size()));
    out.append(reinterpret_cast<const char*>(&size), sizeof size);
    out += part;
}

}  // namespace

QString canonicalNumber(const QString& text) {
    static const QRegularExpression decimal(
        QStringLiteral("^\\s*([-+]?)(\\d*)(?:\\.(\\d*))?(?:[eE]([-+]?\\d+))?\\s*$"));
    const QRegularExpressionMatch match = decimal.match(text);
    if (!match.hasMatch() || (match.capturedLength(2) == 0 && match.capturedLength(3) == 0)) return text;
    QString digits = match.captured(2) + match.captured(3);
    bool exponentFits = true;
    qint64 exponent = match.captured(4).isEmpty() ? 0 : match.captured(4).toLongLong(&exponentFits);
    if (!exponentFits) return text;
    exponent -= match.capturedLength(3);
    qsizetype firstDigit = 0;
    while (firstDigit < digits.size() && digits[firstDigit] == QLatin1Char('0')) ++firstDigit;
    if (firstDigit == digits.size()) return QStringLiteral("0");
    digits.remove(0, firstDigit);
    while (digits.endsWith(QLatin1Char('0'))) {
        digits.chop(1);
        ++exponent;
    }
    const QString sign = match.captured(1) == QLatin1String("-") ? QStringLiteral("-") : QString();
    return sign + digits + QLatin1Char('e') + QString::number(exponent);
}

CanonicalRow canonicalRow(const QList<ColumnKind>& kinds, const Recordset& row) {
    CanonicalRow canonical;
    for (int field = 0; field < row.fieldCount(); ++field) {
        const Variant& value = row.field(field).value;
        const ColumnKind kind = field < kinds.size() ? kinds[field] : ColumnKind::Text;
        // As the copy writes it: binary values become their hex text outside long-binary columns.
        const QByteArray text = value.isBinary() ? value.toUtf8() : value.textUtf8().toByteArray();
        if (kind == ColumnKind::LongBinary) {
            const QByteArray bytes = binaryBytes(value);
            if (bytes.isEmpty()) {
                appendPart(canonical.bytes, 'N', {});
                canonical.display << QStringLiteral("NULL");
            } else {
                appendPart(canonical.bytes, 'B', bytes);
                canonical.display << QStringLiteral("0x") + QString::fromLatin1(bytes.toHex());
            }
        } else if (text.isEmpty()) {
            appendPart(canonical.bytes, 'N', {});
            canonical.display << QStringLiteral("NULL");
        } else if (kind == ColumnKind::Number) {
            appendPart(canonical.bytes, 'D', canonicalNumber(QString::fromUtf8(text)).toUtf8());
            canonical.display << QString::fromUtf8(text);
        } else {
            appendPart(canonical.bytes, 'T', text);
            canonical.display << QString::fromUtf8(text);
        }
    }
    return canonical;
}

RowHash hashRow(const QByteArray& canonical) {
    const QByteArray sum = QCryptographicHash::hash(canonical, QCryptographicHash::Sha256);
    return {qFromBigEndian<quint64>(sum.constData()), qFromBigEndian<quint64>(sum.constData() + 8)};
}

TableDigest::TableDigest() : m_buckets(kBuckets) {}

void TableDigest::add(const RowHash& row) {
    Bucket& bucket = m_buckets[bucketOf(row)];
    ++bucket.count;
    bucket.high += row.high;
    bucket.low += row.low;
    ++m_rows;
}

QList<int> TableDigest::differingBuckets(const TableDigest& other, int most) const {
    QList<int> differing;
    for (int bucket = 0; bucket < kBuckets && differing.size() < most; ++bucket) {
        if (!(m_buckets[bucket] == other.m_buckets[bucket])) differing << bucket;
    }
    return differing;
}

}  // namespace tw
