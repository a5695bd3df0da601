#include "db/postgres/LibpqConnInfo.h"

#include "db/ConnectionString.h"

namespace tw::postgres {

QByteArray libpqValue(const QByteArray& value) {
    QByteArray quoted = "'";
    for (const char c : value) {
        if (c == '\'' || c == '\\') quoted += '\\';
        quoted += c;
    }
    return quoted + '\'';
}

QByteArray psqlOdbcDecoded(const QString& value) {
    const QByteArray text = value.toUtf8();
    QByteArray decoded;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char c = text.at(i);
        if (c == '+') {
            decoded += ' ';
        } else if (c == '%') {
            bool ok = false;
            const int byte = text.mid(i + 1, 2).toInt(&ok, 16);
            if (!ok || i + 2 >= text.size()) return text;  // not the driver's writing: as it stands
            decoded += static_cast<char>(byte);
            i += 2;
        } else {
            decoded += c;
        }
    }
    return decoded;
}

std::optional<QByteArray> libpqConnInfo(const QString& completedConnectionString) {
    if (completedConnectionString.isEmpty()) return std::nullopt;
    QByteArray info;
    const auto add = [&](const char* key, const QByteArray& value) {
        if (value.isEmpty()) return;
        info += key;
        info += '=' + libpqValue(value) + ' ';
    };
    QByteArray options;
    for (const ConnectionStringPart& part : connectionStringParts(completedConnectionString)) {
        const QString& key = part.key;
        const QByteArray value = part.value.toUtf8();
        if (key == QLatin1String("server") || key == QLatin1String("servername")) {
            add("host", value);
        } else if (key == QLatin1String("port")) {
            add("port", value);
        } else if (key == QLatin1String("database")) {
            add("dbname", value);  // none: libpq's default, as for the driver
        } else if (key == QLatin1String("uid") || key == QLatin1String("username")) {
            add("user", value);
        } else if (key == QLatin1String("pwd") || key == QLatin1String("password")) {
            add("password", part.braced ? value : psqlOdbcDecoded(part.value));
        } else if (key == QLatin1String("sslmode")) {
            add("sslmode", value);
        } else if (key == QLatin1String("pqopt")) {
            options = value;  // libpq's own parameters, passed on by the driver
        }
    }
    // The driver's own libpq parameters first, so that the text's encoding is the program's.
    if (!options.isEmpty()) info += options + ' ';
    info += "application_name='tablewright' client_encoding='UTF8'";
    return info;
}

}  // namespace tw::postgres
