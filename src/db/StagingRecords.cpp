#include "db/StagingRecords.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>
#include <mutex>

#include "db/ConnectionString.h"
#include "db/StagingName.h"
#include "shell/OwnFile.h"
#include "shell/ProcessRuns.h"
#include "shell/TransferLog.h"

namespace tw {

namespace {

// A record is a few hundred bytes; anything much larger is not one of ours.
constexpr qint64 kLongestRecord = 64 * 1024;

// What stands in a record's place and is no record is said once a run, on stderr: the copy
// goes on without it.
void sayRefused(const QString& path, const QString& refusal) {
    static std::mutex lock;  // copies in parallel share the folder
    static QSet<QString> said;
    if (refusal.isEmpty()) return;
    const std::lock_guard held(lock);
    if (said.contains(path)) return;
    said.insert(path);
    qWarning("tablewright: warning: the staging record %s is not used: %s", qUtf8Printable(path),
             qUtf8Printable(refusal));
}

std::optional<StagingRecords::Record> readRecord(const QString& path) {
    const OwnFileRead read = readOwnFile(path, kLongestRecord);
    sayRefused(path, read.refusal);
    if (!read.bytes) return std::nullopt;
    const QJsonObject json = QJsonDocument::fromJson(*read.bytes).object();
    return StagingRecords::Record{
        json["database"].toString(), json["table"].toString(), json["host"].toString(),
        json["pid"].toInteger(),     json["boot"].toString(),  json["processStart"].toInteger(-1),
        json["made"].toString(),     json["created"].toBool(), json["createSent"].toBool()};
}

}  // namespace

StagingRecords::StagingRecords(QString folder) : m_folder(std::move(folder)) {}

QString StagingRecords::defaultFolder() { return TransferLog::defaultFolder() + QStringLiteral("/staging"); }

QString StagingRecords::databaseOf(const ConnectionTarget& target, const QString& schema) {
    const QString inSchema = schema.isEmpty() ? QString() : QStringLiteral(" schema ") + schema;
    if (target.isDataSource()) return target.display() + inSchema;
    return connectionStringWithoutPassword(target.text()) + inSchema;
}

QString StagingRecords::pathOf(const QString& database, const QString& table) const {
    const QByteArray key = (database + QLatin1Char('\n') + table).toUtf8();
    return m_folder + QLatin1Char('/') +
           QString::fromLatin1(QCryptographicHash::hash(key, QCryptographicHash::Sha256).toHex().left(32)) +
           QStringLiteral(".json");
}

StagingRecords::Record StagingRecords::ofThisProcess(const QString& database, const QString& table) {
    const qint64 pid = QCoreApplication::applicationPid();
    return {database,
            table,
            StagingName::thisHost(),
            pid,
            bootId(),
            processStartTime(pid),
            QDateTime::currentDateTimeUtc().toString(Qt::ISODate)};
}

bool StagingRecords::add(const Record& record) {
    if (!QDir().mkpath(m_folder)) return false;
    QFile::setPermissions(m_folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return write(record);
}

bool StagingRecords::write(const Record& record) const {
    const QJsonObject json{
        {"database", record.database}, {"table", record.table},     {"host", record.host},
        {"pid", record.pid},           {"boot", record.boot},       {"processStart", record.processStart},
        {"made", record.made},         {"created", record.created}, {"createSent", record.createSent},
    };
    const QString path = pathOf(record.database, record.table);
    const QString refusal = replaceOwnFile(path, QJsonDocument(json).toJson());
    sayRefused(path, refusal);
    return refusal.isEmpty();
}

bool StagingRecords::markCreated(const QString& database, const QString& table) {
    std::optional<Record> record = find(database, table);
    if (!record) return false;
    record->created = true;
    return write(*record);
}

bool StagingRecords::markCreateSent(const QString& database, const QString& table) {
    std::optional<Record> record = find(database, table);
    if (!record) return false;
    record->createSent = true;
    return write(*record);
}

void StagingRecords::remove(const QString& database, const QString& table) {
    QFile::remove(pathOf(database, table));
}

std::optional<StagingRecords::Record> StagingRecords::find(const QString& database,
                                                           const QString& table) const {
    const std::optional<Record> record = readRecord(pathOf(database, table));
    // The file's name is a digest: what it holds must be the very table of the very database.
    if (!record || record->database != database || record->table != table) return std::nullopt;
    return record;
}

void StagingRecords::removeNeverCreated(const std::function<bool(const QString&, const QString&)>& absent) {
    const QStringList names =
        QDir(m_folder).entryList({QStringLiteral("*.json")}, QDir::AllEntries | QDir::System | QDir::Hidden);
    for (const QString& name : names) {
        const QString path = m_folder + QLatin1Char('/') + name;
        const std::optional<Record> record = readRecord(path);
        if (record && !record->created && pathOf(record->database, record->table) == path &&
            (!record->createSent || (absent && absent(record->database, record->table))) &&
            !makerRuns(*record))
            QFile::remove(path);
    }
}

bool StagingRecords::isCopysTable(const QString& database, const QString& table) const {
    if (!StagingName::parse(table)) return false;
    const std::optional<Record> record = find(database, table);
    return record && (record->created || record->createSent);
}

bool StagingRecords::makerRuns(const Record& record) {
    // A process of another machine (a shared home folder) cannot be asked: it may run.
    if (record.host != StagingName::thisHost()) return true;
    if (record.pid == QCoreApplication::applicationPid() && record.boot == bootId()) {
        return StagingName::claimedHere(record.table);
    }
    if (record.boot != bootId() || !processRuns(record.pid)) return false;
    // The id may have gone to another process since.
    const qint64 start = processStartTime(record.pid);
    return start < 0 || record.processStart < 0 || start == record.processStart;
}

}  // namespace tw
