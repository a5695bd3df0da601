#include "transfer/RowDigest.h"

#include <QCryptographicHash>
#include <QDate>
#include <QRegularExpression>
#include <QtEndian>
#include <cctype>
#include <charconv>

#include "db/Connection.h"
#include "shell/GroupedCount.h"
#include "shell/ReportLines.h"
#include "shell/Utf8Text.h"

namespace tw {

namespace {

// A long-binary value as bytes. Some drivers read a binary column back as its SQL literal
// (the SQLite driver gives X'00FF10'); that literal stands for the same bytes. Read by hand:
// a value may be many megabytes long.
QByteArray binaryBytes(const Variant& value) {
    if (value.isBinary()) return value.bytes();
    const QByteArrayView text = value.textUtf8();
    const qsizetype size = text.size();
    if (size < 3 || (text[0] != 'X' && text[0] != 'x') || text[1] != '\'' || text[size - 1] != '\'' ||
        (size - 3) % 2 != 0) {
        return QByteArray();
    }
    const QByteArrayView digits = text.sliced(2, size - 3);
    for (const char digit : digits) {
        if (!std::isxdigit(static_cast<unsigned char>(digit))) return QByteArray();
    }
    return QByteArray::fromHex(digits.toByteArray());
}

// A value as a person reads it in a report: whole when short, else its beginning, its length
// and the start of its SHA-256, so that two long values can still be told apart.
constexpr qsizetype kShownChars = 64;

QString digestOf(QByteArrayView bytes) {
    return QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex().left(16));
}

QString shownText(QByteArrayView utf8) {
    const QString text = textFromUtf8(utf8);
    if (text.size() <= kShownChars) return text;
    return QStringLiteral("%1 (%2 characters, SHA-256 %3…)")
        .arg(shortened(text, kShownChars / 2), groupedCount(text.size()), digestOf(utf8));
}

QString shownBytes(const QByteArray& bytes) {
    if (bytes.size() * 2 <= kShownChars) return QStringLiteral("0x") + QString::fromLatin1(bytes.toHex());
    return QStringLiteral("0x%1 … (%2 bytes, SHA-256 %3…)")
        .arg(QString::fromLatin1(bytes.left(kShownChars / 4).toHex()), groupedCount(bytes.size()),
             digestOf(bytes));
}

void appendPart(QByteArray& out, char tag, QByteArrayView part) {
    out += tag;
    const quint32 size = qToBigEndian(static_cast<quint32>(part.size()));
    out.append(reinterpret_cast<const char*>(&size), sizeof size);
    out += part;
}

// A floating-point value as the fewest digits that read back as the same double: every reading
// of a double is now exact, so two values that differ in the last digit differ.
QByteArray canonicalFloat(QByteArrayView text) {
    const QByteArray trimmed = text.trimmed().toByteArray();
    double value = 0;
    const auto [end, error] =
        std::from_chars(trimmed.constData(), trimmed.constData() + trimmed.size(), value);
    if (error != std::errc() || end != trimmed.constData() + trimmed.size()) return text.toByteArray();
    char digits[40];
    const auto written = std::to_chars(digits, digits + sizeof digits, value);
    return QByteArray(digits, written.ptr - digits);
}

// A date, time or timestamp by its moment: "2024-01-02 10:11:12.500" and "2024-01-02T10:11:12.5"
// alike, a date alone as its midnight, the fraction without trailing zeros, a year of any
// length, the era ("0044-03-15 BC"), and infinity. An instant with an offset is the moment in
// UTC, and never equal to one without: a copy that dropped the offset changed the value. Other
// text comes back as it was.
QByteArray canonicalMoment(QByteArrayView text) {
    static const QRegularExpression moment(QStringLiteral(
        R"(^\s*(?:(\d{4,})-(\d{2})-(\d{2}))?(?:[ T]?(\d{2}):(\d{2})(?::(\d{2})(?:\.(\d+))?)?)?)"
        R"(\s*(Z|[+-]\d{2}(?::?\d{2}(?::?\d{2})?)?)?(?:\s+(BC|AD))?\s*$)"));
    const QString written = QString::fromUtf8(text).trimmed();
    if (written.compare(QLatin1String("infinity"), Qt::CaseInsensitive) == 0 ||
        written.compare(QLatin1String("+infinity"), Qt::CaseInsensitive) == 0)
        return QByteArrayLiteral("infinity");
    if (written.compare(QLatin1String("-infinity"), Qt::CaseInsensitive) == 0)
        return QByteArrayLiteral("-infinity");
    const QRegularExpressionMatch match = moment.match(written);
    const bool hasDate = match.hasMatch() && !match.captured(1).isEmpty();
    const bool hasTime = match.hasMatch() && !match.captured(4).isEmpty();
    if (!hasDate && !hasTime) return text.toByteArray();
    qint64 seconds = match.captured(4).toLongLong() * 3600 + match.captured(5).toLongLong() * 60 +
                     match.captured(6).toLongLong();
    if (seconds > 24 * 3600) return text.toByteArray();  // 24:00:00 is the day's end
    QString fraction = match.captured(7);
    while (fraction.endsWith(QLatin1Char('0'))) fraction.chop(1);
    // The offset, in seconds east of UTC.
    const QString zone = match.captured(8);
    qint64 offset = 0;
    if (!zone.isEmpty() && zone != QLatin1String("Z")) {
        const QString digits = zone.mid(1).remove(QLatin1Char(':'));
        offset = digits.left(2).toLongLong() * 3600 + digits.mid(2, 2).toLongLong() * 60 +
                 digits.mid(4, 2).toLongLong();
        if (zone.startsWith(QLatin1Char('-'))) offset = -offset;
    }
    QByteArray canonical;
    if (hasDate) {
        const int year = match.captured(1).toInt();
        const QDate date(match.captured(9) == QLatin1String("BC") ? -year : year, match.captured(2).toInt(),
                         match.captured(3).toInt());
        if (!date.isValid() || year == 0) {
            // MariaDB's dates of zero parts (0000-00-00, 2024-01-00) are no day: kept as their
            // parts, with the time as any other's.
            if (!zone.isEmpty()) return text.toByteArray();
            return (match.captured(1) + QLatin1Char('-') + match.captured(2) + QLatin1Char('-') +
                    match.captured(3) + QLatin1Char(' ') + QString::number(seconds) + QLatin1Char('.') +
                    fraction)
                .toLatin1();
        }
        // The moment in UTC: the offset may move it to the day before or after.
        seconds -= offset;
        const qint64 days = seconds >= 0 ? seconds / 86400 : -((-seconds + 86399) / 86400);
        seconds -= days * 86400;
        canonical = QByteArray::number(date.toJulianDay() + days) + ' ';
    }
    canonical += QByteArray::number(seconds) + '.' + fraction.toLatin1();
    if (!zone.isEmpty()) canonical += hasDate ? QByteArray(" Z") : ' ' + QByteArray::number(offset);
    return canonical;
}

}  // namespace

QByteArray canonicalNumber(QByteArrayView text) {
    // [blanks][sign]digits[.digits][e[sign]digits][blanks], at least one digit before the e.
    qsizetype at = 0;
    const qsizetype size = text.size();
    const auto isDigit = [&](qsizetype i) { return i < size && text[i] >= '0' && text[i] <= '9'; };
    while (at < size && text[at] == ' ') ++at;
    const bool negative = at < size && text[at] == '-';
    if (at < size && (text[at] == '-' || text[at] == '+')) ++at;
    QByteArray digits;
    qint64 exponent = 0;
    for (; isDigit(at); ++at) digits += text[at];
    if (at < size && text[at] == '.') {
        for (++at; isDigit(at); ++at) {
            digits += text[at];
            --exponent;
        }
    }
    if (digits.isEmpty()) return text.toByteArray();
    if (at < size && (text[at] == 'e' || text[at] == 'E')) {
        ++at;
        const bool negativePower = at < size && text[at] == '-';
        if (at < size && (text[at] == '-' || text[at] == '+')) ++at;
        if (!isDigit(at)) return text.toByteArray();
        qint64 power = 0;
        for (; isDigit(at); ++at) {
            if (power > 1'000'000'000) return text.toByteArray();  // no number is that long
            power = power * 10 + (text[at] - '0');
        }
        exponent += negativePower ? -power : power;
    }
    while (at < size && text[at] == ' ') ++at;
    if (at != size) return text.toByteArray();

    qsizetype first = 0;
    while (first < digits.size() && digits[first] == '0') ++first;
    if (first == digits.size()) return QByteArrayLiteral("0");
    qsizetype end = digits.size();
    while (digits[end - 1] == '0') {
        --end;
        ++exponent;
    }
    return (negative ? QByteArrayLiteral("-") : QByteArray()) + digits.mid(first, end - first) + 'e' +
           QByteArray::number(exponent);
}

namespace {

char tagOf(ColumnKind kind) {
    switch (kind) {
        case ColumnKind::Number:
            return 'D';
        case ColumnKind::Float:
            return 'F';
        case ColumnKind::Logical:
            return 'L';
        case ColumnKind::Moment:
            return 'M';
        default:
            return 'T';
    }
}

// A value's text in the one spelling its kind gives every equal value.
QByteArray canonicalText(ColumnKind kind, QByteArrayView text) {
    switch (kind) {
        case ColumnKind::Number:
            return canonicalNumber(text);
        case ColumnKind::Float:
            return canonicalFloat(text);
        case ColumnKind::Logical: {
            const std::optional<bool> truth = logicalValue(text);
            return truth ? QByteArray(*truth ? "1" : "0") : text.toByteArray();
        }
        case ColumnKind::Moment:
            return canonicalMoment(text);
        default:
            return text.toByteArray();
    }
}

}  // namespace

CanonicalRow canonicalRow(const QList<ColumnKind>& kinds, const Recordset& row, EmptyTexts empty,
                          bool readable) {
    CanonicalRow canonical;
    for (int field = 0; field < row.fieldCount(); ++field) {
        const Variant& value = row.field(field).value;
        const ColumnKind kind = field < kinds.size() ? kinds[field] : ColumnKind::Text;
        // As the copy writes it: binary values become their hex text outside columns of bytes.
        const QByteArray hex = value.isBinary() && kind != ColumnKind::Bytes ? value.toUtf8() : QByteArray();
        const QByteArrayView text = value.isBinary() ? QByteArrayView(hex) : value.textUtf8();
        QString shown;
        const qsizetype partBegins = canonical.bytes.size();
        if (isEmptyValue(value)) {
            // A source's is written as NULL unless the copy keeps it; read back, it is told
            // apart from NULL.
            const bool held = empty == EmptyTexts::AsHeld ||
                              (empty == EmptyTexts::KeptWhereHeld && keepsEmptyIn(kind, true));
            if (!held) ++(value.isBinary() ? canonical.emptyBytes : canonical.emptyTexts);
            appendPart(canonical.bytes, held ? 'E' : 'N', {});
            if (readable) {
                shown = !held              ? QStringLiteral("NULL")
                        : value.isBinary() ? QStringLiteral("0x")
                                           : QStringLiteral("''");
            }
        } else if (kind == ColumnKind::Bytes) {
            const QByteArray bytes = binaryBytes(value);
            appendPart(canonical.bytes, bytes.isEmpty() ? 'N' : 'B', bytes);
            if (readable) shown = bytes.isEmpty() ? QStringLiteral("NULL") : shownBytes(bytes);
        } else if (text.isEmpty()) {
            appendPart(canonical.bytes, 'N', {});
            if (readable) shown = QStringLiteral("NULL");
        } else {
            // Text as it is, without a copy: a value may be many megabytes long.
            const bool typed = kind != ColumnKind::Text;
            const QByteArray spelled = typed ? canonicalText(kind, text) : QByteArray();
            appendPart(canonical.bytes, tagOf(kind), typed ? QByteArrayView(spelled) : text);
            if (readable) shown = shownText(text);
        }
        if (readable) {
            canonical.display << shown;
            canonical.parts << canonical.bytes.sliced(partBegins);
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

void TableDigest::subtract(const TableDigest& earlier) {
    for (int bucket = 0; bucket < kBuckets; ++bucket) {
        m_buckets[bucket].count -= earlier.m_buckets[bucket].count;
        m_buckets[bucket].high -= earlier.m_buckets[bucket].high;
        m_buckets[bucket].low -= earlier.m_buckets[bucket].low;
    }
    m_rows -= earlier.m_rows;
}

QList<int> TableDigest::differingBuckets(const TableDigest& other, int most) const {
    QList<int> differing;
    for (int bucket = 0; bucket < kBuckets && differing.size() < most; ++bucket) {
        if (!(m_buckets[bucket] == other.m_buckets[bucket])) differing << bucket;
    }
    return differing;
}

}  // namespace tw
