#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <span>
#include <utility>

namespace tw {

// A value as it may stand in an ODBC connection string. A value that would otherwise be read
// as more than itself (it holds a ";" or begins with "{") is enclosed in braces with every "}"
// doubled; every other value is returned exactly as given.
QString connectionStringValue(const QString& value);
// The value enclosed in braces with every "}" doubled, whatever it holds. psqlODBC reads "+" and
// "%41" in an unbraced password as URL escapes, and a braced one as it stands; it keeps the
// braces of any other value, a user's name included, as part of the value.
QString bracedConnectionStringValue(const QString& value);

// The text with each placeholder ("{User}") replaced by its value, in one pass: a value that
// holds a placeholder's text stays as it is. Each value is written as connectionStringValue
// writes it; one of the alwaysBraced placeholders that stands as a whole value is braced.
QString filledPlaceholders(const QString& text, std::span<const std::pair<QString, QString>> values,
                           const QStringList& alwaysBraced = {});

// One "key=value" part of a connection string, read by ODBC's rules: parts end at a ";" outside
// braces; a value that begins with "{" runs to the first "}" that is not doubled, each "}}" in
// it one "}" (what stands between that "}" and the next ";" is part of nothing); a "{" anywhere
// else is an ordinary character; keys are the same in any case.
struct ConnectionStringPart {
    QString key;    // trimmed, in lower case
    QString value;  // without the braces that enclosed it
    bool braced = false;
    QString written;  // the part as it stands in the text, without its ";"
};
QList<ConnectionStringPart> connectionStringParts(const QString& text);

// Whether the part's key names a password (PWD, Password, in any case).
bool isPasswordKey(const QString& key);
// The password the connection string carries, decoded, or an empty text.
QString connectionStringPassword(const QString& text);

// The connection string without its password parts, key and all, for a record or a message:
// the other parts as they were written.
QString connectionStringWithoutPassword(const QString& text);

}  // namespace tw
