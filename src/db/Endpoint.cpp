#include "db/Endpoint.h"

#include <QList>
#include <optional>
#include <stdexcept>
#include <tuple>

#include "db/CatalogueTables.h"
#include "db/ConnectionString.h"
#include "db/Dialect.h"
#include "db/Side.h"

namespace tw {

namespace {

const QString kDataSourcePrefix = QStringLiteral("dsn:");
const QString kDriverStringPrefix = QStringLiteral("odbc:");
const QString kUserPlaceholder = QStringLiteral("{User}");
const QString kPasswordPlaceholder = QStringLiteral("{Password}");

// The name without its prefix, which is the same in any case; none where it has another.
std::optional<QString> afterPrefix(const QString& name, const QString& prefix) {
    if (!name.startsWith(prefix, Qt::CaseInsensitive)) return std::nullopt;
    return name.mid(prefix.size());
}

// The connection string with the login's values in their places, the password braced so that
// no driver decodes it; a placeholder whose value was not given is said, not sent empty.
QString filledDriverString(const QString& text, const EndpointLogin& login) {
    QList<std::pair<QString, QString>> values;
    for (const auto& [placeholder, value, what] :
         {std::tuple{kUserPlaceholder, login.user, "user"},
          std::tuple{kPasswordPlaceholder, login.password, "password"}}) {
        if (value) {
            values.append({placeholder, *value});
        } else if (text.contains(placeholder)) {
            throw std::runtime_error(
                QStringLiteral("the connection string %1 holds %2, and no %3 was given for it")
                    .arg(connectionStringWithoutPassword(text), placeholder, QLatin1String(what))
                    .toStdString());
        }
    }
    return filledPlaceholders(text, values, {kPasswordPlaceholder});
}

ConnectionTarget dataSourceTarget(const QString& name, const EndpointLogin& login) {
    if (!login.user && !login.password) return ConnectionTarget::dataSource(name);
    QString text = QStringLiteral("DSN=") + connectionStringValue(name) + QLatin1Char(';');
    if (login.user) text += QStringLiteral("UID=") + connectionStringValue(*login.user) + QLatin1Char(';');
    if (login.password)
        text += QStringLiteral("PWD=") + bracedConnectionStringValue(*login.password) + QLatin1Char(';');
    return ConnectionTarget::driverString(text, login.password.value_or(QString()));
}

}  // namespace

QString endpointNameProblem(const QString& name) {
    if (sideNamed(name)) return QString();
    for (const QString& prefix : {kDataSourcePrefix, kDriverStringPrefix}) {
        const std::optional<QString> rest = afterPrefix(name, prefix);
        if (!rest) continue;
        return rest->isEmpty() ? QStringLiteral("%1 names nothing after the colon").arg(name) : QString();
    }
    // A mistyped prefix may stand before a connection string with its password in it.
    return QStringLiteral("%1 is no database: give oracle, sqlanywhere, dsn:NAME or odbc:CONNECTION-STRING")
        .arg(connectionStringWithoutPassword(name));
}

std::shared_ptr<const Side> endpointNamed(const QString& name, const EndpointLogin& login) {
    if (const Side* configured = sideNamed(name))
        return std::shared_ptr<const Side>(std::shared_ptr<void>(), configured);  // owned by nobody
    const std::optional<QString> dataSourceName = afterPrefix(name, kDataSourcePrefix);
    const bool dataSource = dataSourceName.has_value();
    const QString rest = dataSource ? *dataSourceName : afterPrefix(name, kDriverStringPrefix).value_or(name);
    // A password written into the string itself is as secret as one given for {Password}.
    const QString filled = dataSource ? QString() : filledDriverString(rest, login);
    const ConnectionTarget target =
        dataSource ? dataSourceTarget(rest, login)
                   : ConnectionTarget::driverString(filled, connectionStringPassword(filled));
    // A password written into the connection string itself is shown to nobody.
    const QString shown = dataSource ? rest : connectionStringWithoutPassword(rest);
    const QString described = dataSource
                                  ? QStringLiteral("the data source \"%1\"").arg(rest)
                                  : QStringLiteral("the database of the connection string \"%1\"").arg(shown);
    return std::make_shared<const Side>(
        Side{standardDialect(), dataSource ? kDataSourcePrefix + rest : kDriverStringPrefix + shown,
             [target](const ConnectionValues&) { return target; }, true,
             [target](TableList& list, ConnectionFactory& factory, const ConnectionValues&,
                      const std::function<void()>& processEvents, const QString& schema) {
                 LoadCatalogueTables(list, factory, target, processEvents, schema, false, true);
             },
             [described](const ConnectionValues&) { return described; }, false});
}

}  // namespace tw
