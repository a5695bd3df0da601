#include "db/Endpoint.h"

#include <QList>
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

// The connection string with the login's values in their places; a placeholder whose value
// was not given is said, not sent empty.
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
                    .arg(text, placeholder, QLatin1String(what))
                    .toStdString());
        }
    }
    return filledPlaceholders(text, values);
}

ConnectionTarget dataSourceTarget(const QString& name, const EndpointLogin& login) {
    if (!login.user && !login.password) return ConnectionTarget::dataSource(name);
    QString text = QStringLiteral("DSN=") + connectionStringValue(name) + QLatin1Char(';');
    if (login.user) text += QStringLiteral("UID=") + connectionStringValue(*login.user) + QLatin1Char(';');
    if (login.password)
        text += QStringLiteral("PWD=") + connectionStringValue(*login.password) + QLatin1Char(';');
    return ConnectionTarget::driverString(text, login.password.value_or(QString()));
}

}  // namespace

QString endpointNameProblem(const QString& name) {
    if (sideNamed(name)) return QString();
    for (const QString& prefix : {kDataSourcePrefix, kDriverStringPrefix}) {
        if (!name.startsWith(prefix)) continue;
        return name.size() > prefix.size() ? QString()
                                           : QStringLiteral("%1 names nothing after the colon").arg(name);
    }
    return QStringLiteral("%1 is no database: give oracle, sqlanywhere, dsn:NAME or odbc:CONNECTION-STRING")
        .arg(name);
}

std::shared_ptr<const Side> endpointNamed(const QString& name, const EndpointLogin& login) {
    if (const Side* configured = sideNamed(name))
        return std::shared_ptr<const Side>(std::shared_ptr<void>(), configured);  // owned by nobody
    const bool dataSource = name.startsWith(kDataSourcePrefix);
    const QString rest = name.mid((dataSource ? kDataSourcePrefix : kDriverStringPrefix).size());
    const ConnectionTarget target = dataSource
                                        ? dataSourceTarget(rest, login)
                                        : ConnectionTarget::driverString(filledDriverString(rest, login),
                                                                         login.password.value_or(QString()));
    // A password written into the connection string itself is shown to nobody.
    const QString shown = dataSource ? rest : connectionStringWithoutPassword(rest);
    const QString described = dataSource
                                  ? QStringLiteral("the data source \"%1\"").arg(rest)
                                  : QStringLiteral("the database of the connection string \"%1\"").arg(shown);
    return std::make_shared<const Side>(
        Side{standardDialect(), dataSource ? name : kDriverStringPrefix + shown,
             [target](const ConnectionValues&) { return target; }, true,
             [target](TableList& list, ConnectionFactory& factory, const ConnectionValues&,
                      const std::function<void()>& processEvents, const QString& schema) {
                 LoadCatalogueTables(list, factory, target, processEvents, schema, false);
             },
             [described](const ConnectionValues&) { return described; }, false});
}

}  // namespace tw
