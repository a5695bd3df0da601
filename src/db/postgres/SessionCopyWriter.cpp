#include "db/postgres/SessionCopyWriter.h"

#include "db/postgres/CopyWriter.h"
#include "db/postgres/LibpqConnInfo.h"

namespace tw::postgres {

std::unique_ptr<BatchWriter> sessionCopyWriter(const BulkWriteRequest& request,
                                               const QString& completedConnection) {
    const std::optional<LibpqParameters> parameters = libpqParameters(completedConnection);
    if (!parameters) return nullptr;
    static const char* const kCarried[] = {"DateStyle", "IntervalStyle", "TimeZone", "search_path",
                                           "lc_monetary"};
    QList<SessionSetting> settings;
    QString query = QStringLiteral("SELECT ");
    for (const char* name : kCarried) {
        if (!settings.isEmpty()) query += QStringLiteral(", ");
        query += QStringLiteral("current_setting('%1')").arg(QLatin1String(name));
        settings << SessionSetting(name, {});
    }
    std::unique_ptr<Recordset> current = request.connection.openRecordset(query);
    for (int i = 0; i < settings.size(); ++i)
        settings[i].second = current->field(i).value.toString().toUtf8();
    current->close();
    // Made in turn as every connection is: the sockets of one being made meanwhile are that
    // one's, and its time-out would shut this one's too.
    std::unique_ptr<BatchWriter> writer;
    request.connectInTurn(QStringLiteral("COPY ") + request.display, [&] {
        writer = CopyWriter::open(*parameters, request.intoTable, request.bytes, settings,
                                  request.commandTimeoutSeconds, request.loginTimeoutSeconds);
    });
    return writer;
}

}  // namespace tw::postgres
