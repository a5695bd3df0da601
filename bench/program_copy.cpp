// The program's own transfer, driven through its tables window on the offscreen platform with
// every box answered, events let through as in the program.
//
//   bench_program to-oracle        <source dsn>  <host,user,password> <table>
//   bench_program to-sqlany        <target dsn>  <host,user,password> <table>
//   bench_program sqlany-to-sqlany <target dsn>  <source dsn>         <table>
//
// TW_BENCH_BATCH_ROWS=N in the environment goes into the settings' BatchRows: 0 for the row-by-row
// copy; without it, the windows' batches of 1000.
//
// Prints "rows=N seconds=S cpu=C rss_kb=K repaints=R": C is this process's processor time
// during the copy, and repaints counts the paint events the tables window handled meanwhile.
#include <sys/resource.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <cstdio>

#include "db/Dialect.h"
#include "db/Oracle.h"
#include "db/Side.h"
#include "db/Sybase.h"
#include "db/odbc/OdbcConnection.h"
#include "shell/EventPump.h"
#include "shell/Locale.h"
#include "shell/SettingsStore.h"
#include "ui/Dialogs.h"
#include "ui/Form1.h"
#include "ui/Form2.h"
#include "ui/TableListBox.h"
#include "ui/TextBox.h"

using namespace tw;

namespace {

// Answers every question with Yes and keeps the error boxes for the report.
class AnsweringDialogs : public Dialogs {
public:
    QStringList errors;

protected:
    int showMessage(const QString& text, int style, const QString& caption) override {
        if (caption == QLatin1String("Application Error")) errors << text;
        return MsgBoxStyle::isYesNo(style) ? MsgBoxResult::Yes : MsgBoxResult::Ok;
    }
    QString askText(const QString&, const QString&, const QString& defaultText) override {
        return defaultText;
    }
};

class PaintCounter : public QObject {
public:
    explicit PaintCounter(QWidget& window) : m_window(window) {}
    int count = 0;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            auto* widget = qobject_cast<QWidget*>(watched);
            if (widget && widget->window() == &m_window) ++count;
        }
        return false;
    }

private:
    QWidget& m_window;
};

// Copying between two SQL Anywhere data sources: the source's name stands in the SID box.
// Made when called: kToSqlAnywhere lives in another file, whose constants may not be made yet
// while this file's are.
TransferProfile betweenDataSources() {
    static const Side namedInTheSidBox{
        sqlAnywhereDialect(),
        QStringLiteral("sqlanywhere"),
        [](const ConnectionValues& values) {
            return SybaseConnectionTarget({QString(), QString(), QString(), values.oracleServer});
        },
        true,
        &LoadSybaseTables,
        sqlAnywhereSide().describe};
    TransferProfile profile = kToSqlAnywhere;
    profile.source = &namedInTheSidBox;
    return profile;
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    useDatabaseLocale();
    const QStringList args = app.arguments();
    if (args.size() != 5) {
        std::fprintf(stderr, "usage: see the top of bench/program_copy.cpp\n");
        return 2;
    }
    const QString direction = args[1];
    const QString dataSource = args[2];
    const QString other = args[3];
    const QString table = args[4];

    QTemporaryDir home;
    SettingsStore settings(home.path());
    // The batched path, as a user's settings file asks for it.
    const QByteArray batchRows = qgetenv("TW_BENCH_BATCH_ROWS");
    if (!batchRows.isEmpty()) {
        settings.save(kSettingsApplication, kSettingsSection, SettingKey::BatchRows,
                      QString::fromLatin1(batchRows));
    }
    // And the faithful copy, with TW_BENCH_FAITHFUL=1.
    if (qgetenv("TW_BENCH_FAITHFUL") == "1") {
        settings.save(kSettingsApplication, kSettingsSection, SettingKey::FaithfulTables,
                      QStringLiteral("1"));
    }
    AnsweringDialogs dialogs;
    odbc::OdbcConnectionFactory connections;
    const Services services{settings, dialogs, connections, home.path(), EventPump()};
    Form1 form(services);
    form.Text4->setText(dataSource);
    if (direction == QLatin1String("sqlany-to-sqlany")) {
        form.Text1->setText(other);
    } else {
        const QStringList login = other.split(QLatin1Char(','));
        form.Text1->setText(login.value(0));
        form.Text2->setText(login.value(1));
        form.Text3->setText(login.value(2));
    }
    Form2 tables(services, form.link());
    tables.show();
    PaintCounter paints(tables);
    app.installEventFilter(&paints);

    TableListBox& source = direction == QLatin1String("to-oracle") ? *tables.List1 : *tables.List2;
    source.addItem(table);
    source.setCurrentIndex(0);
    source.setSelected(0, true);
    QCoreApplication::processEvents();
    paints.count = 0;

    rusage before{};
    getrusage(RUSAGE_SELF, &before);
    QElapsedTimer clock;
    clock.start();
    if (direction == QLatin1String("to-oracle")) {
        tables.PushButton3_Click();
    } else if (direction == QLatin1String("to-sqlany")) {
        tables.PushButton4_Click();
    } else {
        tables.sendTables(betweenDataSources(), *tables.List2, *tables.List1);
    }
    const double seconds = clock.nsecsElapsed() / 1e9;
    app.removeEventFilter(&paints);
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);  // the copy's peak, before the check below reads anything

    for (const QString& error : dialogs.errors) std::fprintf(stderr, "%s\n", qPrintable(error));
    if (!dialogs.errors.isEmpty()) return 1;

    odbc::OdbcConnection target;
    const bool toOracle = direction == QLatin1String("to-oracle");
    const QStringList login = other.split(QLatin1Char(','));
    target.open(toOracle ? OracleConnectionTarget({login.value(0), login.value(1), login.value(2), QString()})
                         : SybaseConnectionTarget({QString(), QString(), QString(), dataSource}));
    Connection& counted = target;
    const qint64 rows = counted.openRecordset(QStringLiteral("SELECT COUNT(*) FROM \"%1\"").arg(table))
                            ->field(0)
                            .value.toString()
                            .toLongLong();
    const auto cpu = [](const rusage& u) {
        return u.ru_utime.tv_sec + u.ru_stime.tv_sec + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
    };
    std::printf("rows=%lld seconds=%.6f cpu=%.6f rss_kb=%ld repaints=%d\n", static_cast<long long>(rows),
                seconds, cpu(usage) - cpu(before), usage.ru_maxrss, paints.count);
    return 0;
}
