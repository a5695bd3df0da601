#include "transfer/RowDigest.h"

#include <QCryptographicHash>
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

// A floating-point value to the 15 significant digits every double keeps through text: the
// SQLite driver reads no more, whatever the column holds.
QByteArray canonicalFloat(QByteArrayView text) {
    const QByteArray trimmed = text.trimmed().toByteArray();
    double value = 0;
    const auto [end, error] =
        std::from_chars(trimmed.constData(), trimmed.constData() + trimmed.size(), value);
    if (error != std::errc() || end != trimmed.constData() + trimmed.size()) return text.toByteArray();
    char digits[40];
    const auto written =
        std::to_chars(digits, digits + sizeof digits, value, std::chars_format::scientific, 14);
    return QByteArray(digits, written.ptr - digits);
}

// A date, time or timestamp by its moment: "2024-01-02 10:11:12.500" and "2024-01-02T10:11:12.5"
// alike, a date alone as its midnight, the fraction without trailing zeros. Other text comes
// back as it was.
QByteArray canonicalMoment(QByteArrayView text) {
    static const QRegularExpression moment(
        QStringLiteral(R"(^\s*(?:(-?\d{4,}-\d{2}-\d{2}))?(?:[ T]?(\d{2}:\d{2}:\d{2})(?:\.(\d+))?)?\s*$)"));
    const QString written = QString::fromUtf8(text);
    const QRegularExpressionMatch match = moment.match(written);
    if (!match.hasMatch() || (match.captured(1).isEmpty() && match.captured(2).isEmpty())) {
        return text.toByteArray();
    }
    QString fraction = match.captured(3);
    while (fraction.endsWith(QLatin1Char('0'))) fraction.chop(1);
    const QString time = match.captured(2).isEmpty() ? QStringLiteral("00:00:00") : match.captured(2);
    return (match.captured(1) + QLatin1Char(' ') + time + QLatin1Char('.') + fraction).toUtf8();
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

CanonicalRow canonicalRow(const QList<ColumnKind>& kinds, const Recordset& row, bool readable) {
    CanonicalRow canonical;
    for (int field = 0; field < row.fieldCount(); ++field) {
        const Variant& value = row.field(field).value;
        const ColumnKind kind = field < kinds.size() ? kinds[field] : ColumnKind::Text;
        // As the copy writes it: binary values become their hex text outside columns of bytes.
        const QByteArray hex = value.isBinary() && kind != ColumnKind::Bytes ? value.toUtf8() : QByteArray();
        const QByteArrayView text = value.isBinary() ? QByteArrayView(hex) : value.textUtf8();
        QString shown;
        if (kind == ColumnKind::Bytes) {
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
        if (readable) canonical.display << shown;
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
