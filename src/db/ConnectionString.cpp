#include "db/ConnectionString.h"

#include <QStringList>

namespace tw {

namespace {

const QChar kSeparator = QLatin1Char(';');
const QChar kOpen = QLatin1Char('{');
const QChar kClose = QLatin1Char('}');

// One part read from `at`, and where the next begins. A braced value that is never closed runs
// to the end of the text: whatever follows its "{" belongs to it, a password's rest included.
struct ReadPart {
    ConnectionStringPart part;
    bool hasKey = false;
    bool closed = true;
    qsizetype next = 0;
};

ReadPart readPart(const QString& text, qsizetype at) {
    ReadPart read;
    const qsizetype end = text.indexOf(kSeparator, at);
    const qsizetype equals = text.indexOf(QLatin1Char('='), at);
    if (equals < 0 || (end >= 0 && end < equals)) {
        read.part.written = text.mid(at, end < 0 ? -1 : end - at);
        read.next = end < 0 ? text.size() : end + 1;
        return read;
    }
    read.hasKey = true;
    read.part.key = text.mid(at, equals - at).trimmed().toLower();
    qsizetype value = equals + 1;
    while (value < text.size() && text.at(value).isSpace()) ++value;
    if (value < text.size() && text.at(value) == kOpen) {
        read.part.braced = true;
        read.closed = false;
        qsizetype i = value + 1;
        for (; i < text.size(); ++i) {
            if (text.at(i) != kClose) {
                read.part.value += text.at(i);
            } else if (i + 1 < text.size() && text.at(i + 1) == kClose) {
                read.part.value += kClose;
                ++i;
            } else {
                read.closed = true;
                break;
            }
        }
        const qsizetype after = read.closed ? text.indexOf(kSeparator, i) : -1;
        read.part.written = text.mid(at, after < 0 ? -1 : after - at);
        read.next = after < 0 ? text.size() : after + 1;
        return read;
    }
    read.part.value = text.mid(equals + 1, end < 0 ? -1 : end - equals - 1);
    read.part.written = text.mid(at, end < 0 ? -1 : end - at);
    read.next = end < 0 ? text.size() : end + 1;
    return read;
}

// Every part of the text, also those without a key.
QList<ReadPart> readParts(const QString& text) {
    QList<ReadPart> parts;
    for (qsizetype at = 0; at < text.size();) {
        ReadPart read = readPart(text, at);
        at = read.next;
        if (!read.part.written.trimmed().isEmpty()) parts << std::move(read);
    }
    return parts;
}

// Where a placeholder at `at`, `length` long, is a whole value: right after "=" (and blanks)
// and followed by the part's end.
bool isWholeValue(const QString& text, qsizetype at, qsizetype length) {
    qsizetype before = at - 1;
    while (before >= 0 && text.at(before).isSpace()) --before;
    if (before < 0 || text.at(before) != QLatin1Char('=')) return false;
    const qsizetype after = at + length;
    return after == text.size() || text.at(after) == kSeparator;
}

}  // namespace

QString connectionStringValue(const QString& value) {
    const bool needsBraces = value.contains(kSeparator) || value.startsWith(kOpen);
    return needsBraces ? bracedConnectionStringValue(value) : value;
}

QString bracedConnectionStringValue(const QString& value) {
    QString quoted = value;
    quoted.replace(QStringLiteral("}"), QStringLiteral("}}"));
    return kOpen + quoted + kClose;
}

QString filledPlaceholders(const QString& text, std::span<const std::pair<QString, QString>> values,
                           const QStringList& alwaysBraced) {
    QString filled;
    for (qsizetype at = 0; at < text.size();) {
        bool replaced = false;
        for (const auto& [placeholder, value] : values) {
            if (QStringView(text).mid(at).startsWith(placeholder)) {
                const bool braced =
                    alwaysBraced.contains(placeholder) && isWholeValue(text, at, placeholder.size());
                filled += braced ? bracedConnectionStringValue(value) : connectionStringValue(value);
                at += placeholder.size();
                replaced = true;
                break;
            }
        }
        if (!replaced) filled += text.at(at++);
    }
    return filled;
}

QList<ConnectionStringPart> connectionStringParts(const QString& text) {
    QList<ConnectionStringPart> parts;
    for (const ReadPart& read : readParts(text)) {
        if (read.hasKey) parts << read.part;
    }
    return parts;
}

bool isPasswordKey(const QString& key) {
    const QString read = key.trimmed();
    return read.compare(QLatin1String("pwd"), Qt::CaseInsensitive) == 0 ||
           read.compare(QLatin1String("password"), Qt::CaseInsensitive) == 0;
}

QString connectionStringPassword(const QString& text) {
    QString password;
    for (const ConnectionStringPart& part : connectionStringParts(text)) {
        if (isPasswordKey(part.key)) password = part.value;  // a driver takes the last
    }
    return password;
}

QString connectionStringWithoutPassword(const QString& text) {
    QStringList kept;
    bool afterPassword = false;
    for (const ReadPart& read : readParts(text)) {
        // A brace never closed may hide where the driver ends the value: nothing of it is shown.
        if (!read.closed) continue;
        // Parts without a key right after a password are the rest of one written unbraced
        // with a ";" in it.
        if (read.hasKey) afterPassword = isPasswordKey(read.part.key);
        if (afterPassword) continue;
        kept << read.part.written;
    }
    return kept.join(kSeparator);
}

}  // namespace tw
