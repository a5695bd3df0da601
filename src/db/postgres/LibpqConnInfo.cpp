#include "db/postgres/LibpqConnInfo.h"

#include <libpq-fe.h>

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

namespace {

// The way to the database in the driver's completed string: the login, then libpq's own
// parameters as the driver passes them on (its pqopt), in libpq's text.
struct DriversWay {
    LibpqParameters login;
    QByteArray options;
};

DriversWay driversWay(const QString& completedConnectionString) {
    DriversWay way;
    const auto add = [&](const char* key, const QByteArray& value) {
        if (!value.isEmpty()) way.login << LibpqParameter(key, value);
    };
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
            way.options = value;
        }
    }
    return way;
}

// After the driver's own parameters, so that the text's encoding is the program's.
const LibpqParameter kProgramsOwn[] = {{"application_name", "tablewright"}, {"client_encoding", "UTF8"}};

}  // namespace

std::optional<LibpqParameters> libpqParameters(const QString& completedConnectionString) {
    if (completedConnectionString.isEmpty()) return std::nullopt;
    DriversWay way = driversWay(completedConnectionString);
    LibpqParameters parameters = std::move(way.login);
    if (!way.options.isEmpty()) {
        PQconninfoOption* const options = PQconninfoParse(way.options.constData(), nullptr);
        if (!options) return std::nullopt;
        for (const PQconninfoOption* option = options; option->keyword; ++option) {
            if (option->val) parameters << LibpqParameter(option->keyword, option->val);
        }
        PQconninfoFree(options);
    }
    for (const LibpqParameter& own : kProgramsOwn) parameters << own;
    return parameters;
}

std::optional<QByteArray> libpqConnInfo(const QString& completedConnectionString) {
    if (completedConnectionString.isEmpty()) return std::nullopt;
    const DriversWay way = driversWay(completedConnectionString);
    QByteArray info;
    for (const LibpqParameter& parameter : way.login)
        info += parameter.first + '=' + libpqValue(parameter.second) + ' ';
    if (!way.options.isEmpty()) info += way.options + ' ';
    for (const LibpqParameter& own : kProgramsOwn) info += own.first + '=' + libpqValue(own.second) + ' ';
    info.chop(1);
    return info;
}

}  // namespace tw::postgres
