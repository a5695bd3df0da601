#pragma once

#include <QList>
#include <QString>
#include <span>
#include <utility>

namespace tw {

// A value as it may stand in an ODBC connection string. A value that would otherwise be read
// as more than itself (it holds a ";" or begins with "{") is enclosed in braces with every "}"
// doubled; every other value is returned exactly as given.
QString connectionStringValue(const QString& value);

// The text with each placeholder ("{User}") replaced by its value as connectionStringValue
// writes it, in one pass: a value that holds a placeholder's text stays as it is.
QString filledPlaceholders(const QString& text, std::span<const std::pair<QString, QString>> values);

// The connection string without its PWD and Password parts, for a record or a message.
QString connectionStringWithoutPassword(const QString& text);

// One "key=value" part of a connection string: the key in lower case, the value without the
// braces that enclosed it (every "}}" in them one "}"), and whether it had them.
struct ConnectionStringPart {
    QString key;
    QString value;
    bool braced = false;
};
QList<ConnectionStringPart> connectionStringParts(const QString& text);

}  // namespace tw
