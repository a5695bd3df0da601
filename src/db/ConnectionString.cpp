#include "db/ConnectionString.h"

#include <QStringList>

namespace tw {

namespace {

// The connection string's "key=value" parts, a value in braces taken whole.
QStringList partsOf(const QString& text) {
    QStringList parts;
    QString part;
    bool braced = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (braced && c == QLatin1Char('}')) {
            if (i + 1 < text.size() && text.at(i + 1) == QLatin1Char('}')) {
                part += QStringLiteral("}}");
                ++i;
                continue;
            }
            braced = false;
        } else if (!braced && c == QLatin1Char('{')) {
            braced = true;
        } else if (!braced && c == QLatin1Char(';')) {
            parts << part;
            part.clear();
            continue;
        }
        part += c;
    }
    if (!part.isEmpty()) parts << part;
    return parts;
}

}  // namespace

QString connectionStringValue(const QString& value) {
    const bool needsBraces = value.contains(QLatin1Char(';')) || value.startsWith(QLatin1Char('{'));
    if (!needsBraces) return value;
    QString quoted = value;
    quoted.replace(QStringLiteral("}"), QStringLiteral("}}"));
    return QLatin1Char('{') + quoted + QLatin1Char('}');
}

QString connectionStringWithoutPassword(const QString& text) {
    QStringList kept;
    for (const QString& part : partsOf(text)) {
        const QString key = part.section(QLatin1Char('='), 0, 0).trimmed().toLower();
        if (key != QLatin1String("pwd") && key != QLatin1String("password")) kept << part;
    }
    return kept.join(QLatin1Char(';'));
}

QList<ConnectionStringPart> connectionStringParts(const QString& text) {
    QList<ConnectionStringPart> parts;
    for (const QString& part : partsOf(text)) {
        const qsizetype equals = part.indexOf(QLatin1Char('='));
        if (equals < 0) continue;
        ConnectionStringPart read{part.left(equals).trimmed().toLower(), part.mid(equals + 1)};
        if (read.value.startsWith(QLatin1Char('{')) && read.value.endsWith(QLatin1Char('}'))) {
            read.value =
                read.value.mid(1, read.value.size() - 2).replace(QStringLiteral("}}"), QStringLiteral("}"));
            read.braced = true;
        }
        parts << read;
    }
    return parts;
}

QString filledPlaceholders(const QString& text, std::span<const std::pair<QString, QString>> values) {
    QString filled;
    for (qsizetype at = 0; at < text.size();) {
        bool replaced = false;
        for (const auto& [placeholder, value] : values) {
            if (QStringView(text).mid(at).startsWith(placeholder)) {
                filled += connectionStringValue(value);
                at += placeholder.size();
                replaced = true;
                break;
            }
        }
        if (!replaced) filled += text.at(at++);
    }
    return filled;
}

}  // namespace tw
