#pragma once

#include <QString>

namespace tw {

// What a connection opens: the user's ODBC data source by its name, or a driver connection
// string built once with its values quoted. Nothing is encoded to be parsed back out.
class ConnectionTarget {
public:
    static ConnectionTarget dataSource(QString name) { return {Kind::DataSource, std::move(name)}; }
    // secret: a value the string carries (the password) that no message may show.
    static ConnectionTarget driverString(QString text, QString secret = {}) {
        return {Kind::DriverString, std::move(text), std::move(secret)};
    }

    bool isDataSource() const { return m_kind == Kind::DataSource; }
    // The data source's name, or the driver connection string.
    const QString& text() const { return m_text; }

    // As the platform's connection library wrote it, "Data Source=NAME" or the driver string:
    // for records and messages, never read back.
    QString display() const { return isDataSource() ? QStringLiteral("Data Source=") + m_text : m_text; }
    const QString& secret() const { return m_secret; }

    bool operator==(const ConnectionTarget&) const = default;

private:
    enum class Kind { DataSource, DriverString };
    ConnectionTarget(Kind kind, QString text, QString secret = {})
        : m_kind(kind), m_text(std::move(text)), m_secret(std::move(secret)) {}

    Kind m_kind;
    QString m_text;
    QString m_secret;
};

}  // namespace tw
