#include "transfer/ValueFit.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

#include "db/AdoType.h"
#include "shell/GroupedCount.h"
#include "shell/ReportLines.h"
#include "shell/Utf8Text.h"

namespace tw {

namespace {

bool isBinaryAdoType(int type) {
    return type == AdoType::Binary || type == AdoType::VarBinary || type == AdoType::LongVarBinary;
}

constexpr qsizetype kShownBytes = 16;

QString hexStart(const QByteArray& bytes) {
    const QString hex = QStringLiteral("0x") + QString::fromLatin1(bytes.left(kShownBytes).toHex().toUpper());
    return bytes.size() > kShownBytes ? hex + QStringLiteral("…") : hex;
}

// The digits after the point that count, also those an exponent moves there ("1.5E-40"): the
// trailing zeros lose nothing.
qsizetype decimalsOf(QByteArrayView text) {
    qsizetype at = 0;
    while (at < text.size() && (text[at] == ' ' || text[at] == '\t')) ++at;  // the servers skip them too
    if (at < text.size() && (text[at] == '-' || text[at] == '+')) ++at;
    qsizetype digits = 0;   // of the mantissa, up to its last one that is not 0
    qsizetype before = 0;   // of the mantissa before its point
    qsizetype counted = 0;  // of the mantissa so far
    bool point = false;
    for (; at < text.size(); ++at) {
        const char c = text[at];
        if (c == '.' && !point) {
            point = true;
        } else if (c >= '0' && c <= '9') {
            ++counted;
            if (!point) ++before;
            if (c != '0') digits = counted;
        } else {
            break;
        }
    }
    qsizetype exponent = 0;
    if (at < text.size() && (text[at] == 'e' || text[at] == 'E'))
        exponent = QByteArray(text.data() + at + 1, text.size() - at - 1).toLongLong();
    return std::max<qsizetype>(0, digits - before - exponent);
}

// Digits alone, as MariaDB also reads a moment ("20200102100000"): the date's eight first.
bool compactMoment(QByteArrayView text) {
    const qsizetype point = text.indexOf('.');
    const QByteArrayView whole = point < 0 ? text : text.first(point);
    return whole.size() >= 8 &&
           std::all_of(whole.begin(), whole.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// The digits of a second's fraction that count in a time or timestamp ("10:11:12.125+02"): those
// after the point that follows the time's first colon, up to the last one that is not 0.
qsizetype secondFractionOf(QByteArrayView text) {
    const qsizetype colon = text.indexOf(':');
    if (colon < 0 && !compactMoment(text)) return 0;
    const qsizetype point = text.indexOf('.', std::max<qsizetype>(colon, 0));
    if (point < 0) return 0;
    qsizetype counted = 0;
    qsizetype digits = 0;
    for (qsizetype at = point + 1; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at) {
        ++counted;
        if (text[at] != '0') digits = counted;
    }
    return digits;
}

// A timestamp's time of day that is not midnight ("2020-01-02 03:04:05"): what a DATE drops.
bool hasTimeOfDay(QByteArrayView text) {
    qsizetype at = 0;
    if (compactMoment(text)) {
        at = 8;
    } else {
        const qsizetype colon = text.indexOf(':');
        if (colon < 0) return false;
        at = colon - 1;
        while (at > 0 && text[at - 1] >= '0' && text[at - 1] <= '9') --at;  // the hours' first digit
        if (at <= 0) return false;                                          // a time alone
    }
    for (; at < text.size(); ++at) {
        const char c = text[at];
        if (c >= '1' && c <= '9') return true;
        if (c != '0' && c != ':' && c != '.') break;  // the offset, or an era, follow
    }
    return false;
}

// A date before a time ("2020-01-02 03:04:05", "2020/01/02 03:04", "20200102030405"): what a
// TIME drops. A time alone may begin with a minus ("-10:00:00").
bool hasDate(QByteArrayView text) {
    if (compactMoment(text)) return true;
    const qsizetype colon = text.indexOf(':');
    const QByteArrayView head = colon < 0 ? text : text.first(colon);
    return head.indexOf('-', 1) > 0 || head.contains(' ') || head.contains('T');
}

// A number a 4-byte float keeps: the float holds the very double, or gives back the text it is
// written as (0.1 goes in as 0.1); 16777217 and 1.23456789012 it would change, and a number
// written beyond the largest float (3.4028235e+38) MariaDB refuses.
// Read without an allocation: this runs for every value of such a column.
bool fitsFourBytes(QByteArrayView text) {
    const QByteArrayView written = text.trimmed();
    const char* from = written.data();
    if (!written.isEmpty() && *from == '+') ++from;  // from_chars takes no plus sign
    double value = 0;
    const std::from_chars_result read = std::from_chars(from, written.data() + written.size(), value);
    if (read.ec != std::errc() || !std::isfinite(value)) return true;  // not a number: the server says so
    if (std::fabs(value) > std::numeric_limits<float>::max()) return false;
    const float kept = static_cast<float>(value);
    if (static_cast<double>(kept) == value) return true;
    char shortest[32];
    const std::to_chars_result end = std::to_chars(shortest, shortest + sizeof shortest, kept);
    double shown = 0;
    std::from_chars(shortest, end.ptr, shown);
    return shown == value;
}

QString digitsText(qsizetype count) {
    return count == 1 ? QStringLiteral("1 digit") : QStringLiteral("%1 digits").arg(count);
}

}  // namespace

ValueFit fitOf(const QString& column, const Variant& value, int fieldType, ColumnKind kind,
               const Dialect& target, int decimals, ValueLimit limit) {
    ValueFit fit;
    if (value.isBinary() && kind != ColumnKind::Bytes && !isBinaryAdoType(fieldType)) {
        if (target.keepsAnyStorageClass()) {
            fit.asBytes = true;
        } else {
            fit.refusal =
                QStringLiteral(
                    "column %1, value %2: %3 bytes stored in a column of text; %4 holds no "
                    "bytes in a column of text")
                    .arg(column, hexStart(value.bytes()), groupedCount(value.bytes().size()), target.title());
        }
        return fit;
    }
    const QByteArrayView text = value.textUtf8();
    // A value the target would round is refused, never written changed: a number or a second's
    // fraction beyond its column's digits, or, where the column's scale is not known, a number
    // beyond its product's limit (which may be below what its widest column keeps).
    const int most = decimals >= 0 ? 0 : target.mostDecimalDigits();
    // Counted only where a limit applies: this runs for every value of every row.
    const bool limited = decimals >= 0 || (kind == ColumnKind::Number && most > 0);
    const qsizetype found = !limited                     ? 0
                            : kind == ColumnKind::Number ? decimalsOf(text)
                            : kind == ColumnKind::Moment ? secondFractionOf(text)
                                                         : 0;
    if (kind == ColumnKind::Number && most > 0 && found > most) {
        fit.refusal = QStringLiteral("column %1, value %2: %3 digits after the point; %4 keeps %5 at most")
                          .arg(column, shortened(textFromUtf8(text), 60), QString::number(found),
                               target.title(), QString::number(most));
        return fit;
    }
    if (decimals >= 0 && found > decimals) {
        const bool number = kind == ColumnKind::Number;
        fit.refusal =
            QStringLiteral("column %1, value %2: %3 %4; the target's column keeps %5 and would round it")
                .arg(column,
                     number ? shortened(textFromUtf8(text), 60)
                            : QLatin1Char('\'') + shortened(textFromUtf8(text), 60) + QLatin1Char('\''),
                     digitsText(found),
                     number ? QStringLiteral("after the point") : QStringLiteral("of a second"),
                     QString::number(decimals));
        return fit;
    }
    // What the column would drop: said only of a value it would.
    const char* dropped = limit == ValueLimit::DateOnly && hasTimeOfDay(text)
                              ? "'%2': a time of day; the target's column keeps the date alone"
                          : limit == ValueLimit::TimeOnly && hasDate(text)
                              ? "'%2': a date; the target's column keeps the time of day alone"
                          : limit == ValueLimit::FourByteFloat && !fitsFourBytes(text)
                              ? "%2: more than the target's 4-byte float keeps"
                              : nullptr;
    if (dropped) {
        fit.refusal = (QStringLiteral("column %1, value ") + QLatin1String(dropped))
                          .arg(column, shortened(textFromUtf8(text), 60));
        return fit;
    }
    if (text.contains('\0')) {
        QString shown = textFromUtf8(text);
        shown.replace(QChar(0), QStringLiteral("\\0"));
        fit.refusal =
            QStringLiteral("column %1, value '%2': text with a NUL character cannot go into %3 text")
                .arg(column, shortened(shown, 40), target.title());
    }
    return fit;
}

}  // namespace tw
