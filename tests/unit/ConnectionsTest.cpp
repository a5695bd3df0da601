#include <gtest/gtest.h>

#include "db/ConnectionString.h"
#include "db/DbError.h"
#include "db/Endpoint.h"
#include "db/Oracle.h"
#include "db/Side.h"
#include "db/StagingRecords.h"
#include "db/Sybase.h"
#include "shell/SortedTableList.h"
#include "support/FakeConnection.h"

using namespace tw;
using tw::test::FakeConnectionFactory;

namespace {
ConnectionValues values(QString server, QString user, QString password, QString dataSource) {
    return {std::move(server), std::move(user), std::move(password), std::move(dataSource)};
}
}  // namespace

TEST(ConnectionStrings, OrdinaryValuesAreInsertedExactlyAsTyped) {
    EXPECT_EQ(OracleConnectionString(values("MYDB", "scott", "tiger", "")),
              "Driver={Microsoft ODBC for Oracle};Server=MYDB;Uid=scott;Pwd=tiger;");
    EXPECT_EQ(OracleConnectionString(values("", "", "", "")),
              "Driver={Microsoft ODBC for Oracle};Server=;Uid=;Pwd=;");
    // Blanks, braces inside, "=" and non-ASCII reach the driver untouched.
    EXPECT_EQ(OracleConnectionString(values(" db ", "Jörg", "a}b=c{", "")),
              "Driver={Microsoft ODBC for Oracle};Server= db ;Uid=Jörg;Pwd=a}b=c{;");
    EXPECT_EQ(SybaseConnectionTarget(values("", "", "", "tw_sqlany")).display(), "Data Source=tw_sqlany");
    EXPECT_EQ(SybaseConnectionTarget(values("", "", "", "")).display(), "Data Source=");
}

TEST(ConnectionStrings, ValuesThatWouldAddAttributesAreBraced) {
    // Unbraced, "x;Driver=..." would replace the driver; braced it stays one password.
    EXPECT_EQ(OracleConnectionString(values("MYDB", "scott", "x;Driver={Other}", "")),
              "Driver={Microsoft ODBC for Oracle};Server=MYDB;Uid=scott;Pwd={x;Driver={Other}}};");
    EXPECT_EQ(connectionStringValue("{tiger"), "{{tiger}");
    EXPECT_EQ(connectionStringValue("ti;ger}x"), "{ti;ger}}x}");
    EXPECT_EQ(connectionStringValue("a;b"), "{a;b}");
}

// The user's driver may need other keywords: a template takes the values where it names them,
// braced where they need it, and a value never becomes a placeholder itself.
TEST(ConnectionStrings, ATemplateTakesTheValuesWhereItNamesThem) {
    const QString oracles = "Driver={Oracle 21 ODBC driver};DBQ={SID};UID={User};PWD={Password};";
    const struct {
        QString server, user, password, expected;
    } cases[] = {
        {"db.example.com:1521/ORCL", "scott", "tiger",
         "Driver={Oracle 21 ODBC driver};DBQ=db.example.com:1521/ORCL;UID=scott;PWD=tiger;"},
        {"ORCL", "{Password}", "a;b", "Driver={Oracle 21 ODBC driver};DBQ=ORCL;UID={{Password}}};PWD={a;b};"},
        {"ORCL", "scott", "", "Driver={Oracle 21 ODBC driver};DBQ=ORCL;UID=scott;PWD=;"},
    };
    for (const auto& c : cases) {
        ConnectionValues given = values(c.server, c.user, c.password, "");
        given.oracleTemplate = oracles;
        EXPECT_EQ(OracleConnectionString(given), c.expected);
    }
    ConnectionValues twice = values("S", "U", "P", "");
    twice.oracleTemplate = "DSN={SID}{SID};{user}={Password";  // placeholders match exactly
    EXPECT_EQ(OracleConnectionString(twice), "DSN=SS;{user}={Password");
}

TEST(ConnectionStrings, ADataSourceNameReachesTheDriverManagerWhole) {
    for (const QString& name : {QString("tw_sqlany"), QString(" spaced name "), QString("my;dsn"),
                                QString("{x}"), QString("a}}b;"), QString("{")}) {
        const ConnectionTarget target = SybaseConnectionTarget(values("", "", "", name));
        EXPECT_TRUE(target.isDataSource());
        EXPECT_EQ(target.text(), name);
    }
    EXPECT_FALSE(OracleConnectionTarget(values("x", "", "", "")).isDataSource());
}

TEST(SilentChecks, AnswerWhetherTheConnectionOpensAndShowNothing) {
    FakeConnectionFactory factory;
    const ConnectionValues login = values("127.0.0.1", "scott", "tiger", "tw_sqlany");
    EXPECT_TRUE(OracleCanConnect(factory, login));
    EXPECT_TRUE(SybaseCanConnect(factory, login));
    EXPECT_EQ(factory.log,
              QStringList(
                  {"create", "open Driver={Microsoft ODBC for Oracle};Server=127.0.0.1;Uid=scott;Pwd=tiger;",
                   "release", "create", "provider MSDASQL", "open Data Source=tw_sqlany", "release"}));

    factory.onOpen = [](const QString&) { throw DbError("refused"); };
    EXPECT_FALSE(OracleCanConnect(factory, login));
    EXPECT_FALSE(SybaseCanConnect(factory, login));
}

TEST(SilentChecks, AFailureToMakeTheConnectionReachesTheCaller) {
    FakeConnectionFactory factory;
    factory.failCreate = true;
    EXPECT_THROW(OracleCanConnect(factory, {}), DbError);
    EXPECT_THROW(SybaseCanConnect(factory, {}), DbError);
}

// The count is the driver's own query, taken after the read began: another session's table
// made or dropped in between must neither end the list early nor fail it.
TEST(LoadOracleTables, TheListIsTheReadNotTheCount) {
    for (const qint64 counted : {1, 3}) {
        FakeConnectionFactory factory;
        test::FakeTable tables;
        tables.fields = {{"TABLE_NAME", 200, {}}};
        tables.rows = {{Variant(QString("DEPT"))}, {Variant(QString("EMP"))}};
        tables.reportedCount = counted;
        factory.tables["SELECT table_name FROM user_tables"] = tables;
        SortedTableList list;
        LoadOracleTables(list, factory, {"db", "scott", "tiger", ""}, [] {});
        EXPECT_EQ(list.items(), QStringList({"DEPT", "EMP"})) << counted;
    }
}

// A driver may quote the password where the template puts it in the host's or the user's place;
// the message that reaches the user, the log and --json has it masked, braced form and all.
TEST(ConnectionStrings, APasswordInADriverMessageIsMasked) {
    const struct {
        QString password, said, shown;
    } cases[] = {
        {"S3cretPW", "could not translate host name \"S3cretPW\" to address",
         "could not translate host name \"********\" to address"},
        {"S3cretPW", "password authentication failed for user \"S3cretPW\"",
         "password authentication failed for user \"********\""},
        {"a;b}c", "bad value {a;b}}c} or a;b}c", "bad value ******** or ********"},
        {"tiger", "bad value {tiger}", "bad value ********"},  // as the password is filled in
        {"", "no password given", "no password given"},
    };
    for (const auto& c : cases) {
        FakeConnectionFactory connections;
        connections.onOpen = [&](const QString&) { throw DbError(c.said, "08001"); };
        ConnectionValues given = values("db", "scott", c.password, "");
        given.oracleTemplate = "Driver={x};Server={Password};Uid={User};Pwd={Password};";
        try {
            connections.create()->open(OracleConnectionTarget(given));
            ADD_FAILURE() << "opened";
        } catch (const DbError& failure) {
            EXPECT_EQ(QString::fromUtf8(failure.what()), c.shown);
            EXPECT_TRUE(failure.connectionLost());  // the codes stay
        }
    }
}

// A database the command line names by a data source or a connection string: the login given
// for it fills the string, quoted as a value and in one pass, and no name or message shows a
// password.
TEST(Endpoints, TheLoginFillsTheConnectionAndNoNameShowsThePassword) {
    struct Case {
        QString name;
        EndpointLogin login;
        QString connection;  // the data source, or the driver string as sent
        QString shownName;
    };
    const std::vector<Case> cases{
        {"dsn:tw maria", {}, "tw maria", "dsn:tw maria"},
        {"dsn:m", {"u", "p;w"}, "DSN=m;UID=u;PWD={p;w};", "dsn:m"},
        {"odbc:Driver={X};UID={User};PWD={Password};",
         {"{Password}", "s}"},
         "Driver={X};UID={{Password}}};PWD={s}}};",
         "odbc:Driver={X};UID={User}"},
        {"odbc:Driver=X;PWD=plain;DB=d", {}, "Driver=X;PWD=plain;DB=d", "odbc:Driver=X;DB=d"},
        // A password is always braced: unbraced, psqlODBC decodes "+" and "%41". A user is
        // braced only where it must be: psqlODBC keeps a user's braces.
        {"dsn:m", {"a{b", "a+b%41 c"}, "DSN=m;UID=a{b;PWD={a+b%41 c};", "dsn:m"},
        {"odbc:UID={User};PWD={Password}", {"u", "a+b%41 c"}, "UID=u;PWD={a+b%41 c}", "odbc:UID={User}"},
        // Inside a longer value a placeholder is filled as the value needs it.
        {"odbc:Server=x;Description=by {Password}",
         {"u", "p"},
         "Server=x;Description=by p",
         "odbc:Server=x;Description=by {Password}"},
        // The prefixes in any case.
        {"ODBC:Driver=X;pWd=plain", {}, "Driver=X;pWd=plain", "odbc:Driver=X"},
        {"DSN:tw maria", {}, "tw maria", "dsn:tw maria"},
    };
    for (const Case& c : cases) {
        const std::shared_ptr<const Side> side = endpointNamed(c.name, c.login);
        const ConnectionTarget target = side->target({});
        EXPECT_EQ(target.text().toStdString(), c.connection.toStdString()) << c.name.toStdString();
        EXPECT_EQ(target.isDataSource(), !c.connection.contains('='));
        EXPECT_EQ(side->name, c.shownName);
        EXPECT_FALSE(side->isConfigured);
    }
    EXPECT_EQ(endpointNamed("oracle").get(), &oracleSide());
    // A placeholder without its value is said, not sent empty, and the password written in the
    // string is not said with it.
    try {
        endpointNamed("odbc:DSN=x;UID={User};PWD=s3cret");
        ADD_FAILURE() << "named";
    } catch (const std::runtime_error& failure) {
        EXPECT_EQ(QString::fromUtf8(failure.what()),
                  "the connection string DSN=x;UID={User} holds {User}, and no user was given for it");
    }
    for (const char* wrong : {"mysql", "dsn:", "odbc:", "ODBC:", "odbx:DSN=x;PWD=s3cret"})
        EXPECT_FALSE(endpointNameProblem(wrong).isEmpty()) << wrong;
    EXPECT_FALSE(endpointNameProblem("odbx:DSN=x;PWD=s3cret").contains("s3cret"));
    for (const char* right : {"DSN:x", "Odbc:DSN=x"})
        EXPECT_TRUE(endpointNameProblem(right).isEmpty()) << right;
    // A password written into the string is masked in a driver's message as one given for it.
    EXPECT_EQ(endpointNamed("odbc:DSN=x;PWD={s3;cret}")->target({}).secret(), "s3;cret");
}

// One reader of connection strings by ODBC's rules for everything that reads, shows or keeps
// one: a value that begins with "{" runs to the first "}" that is not doubled, a "{" anywhere
// else is a character, keys in any case; what is shown or kept has no password part.
TEST(ConnectionStrings, AreReadByTheOdbcRulesAndShownWithoutThePassword) {
    const struct {
        QString text;
        QStringList parts;  // "key=value" as read, "(braced)" after a braced one
        QString password;
        QString shown;
    } cases[] = {
        {"Driver={X};Server=h", {"driver=X (braced)", "server=h"}, "", "Driver={X};Server=h"},
        {"DSN=a;Description=a{b;PWD=s3cret;",
         {"dsn=a", "description=a{b", "pwd=s3cret"},
         "s3cret",
         "DSN=a;Description=a{b"},
        {"PWD={a;b}}c};UID=u", {"pwd=a;b}c (braced)", "uid=u"}, "a;b}c", "UID=u"},
        {"UID={a{b};PASSWORD={x}", {"uid=a{b (braced)", "password=x (braced)"}, "x", "UID={a{b}"},
        {" Pwd =secret;Uid=u", {"pwd=secret", "uid=u"}, "secret", "Uid=u"},
        {"pAsSwOrD=x;DSN=d", {"password=x", "dsn=d"}, "x", "DSN=d"},
        {"UID=u;PWD= {a;b}", {"uid=u", "pwd=a;b (braced)"}, "a;b", "UID=u"},
        // A brace never closed hides where a driver would end the value: none of it is shown.
        {"DSN=d;Description={x;PWD=s3cret", {"dsn=d", "description=x;PWD=s3cret (braced)"}, "", "DSN=d"},
        {"PWD={s3;cret", {"pwd=s3;cret (braced)"}, "s3;cret", ""},
        {"DSN=d;;junk;", {"dsn=d"}, "", "DSN=d;junk"},
        // The rest of a password written unbraced with a ";" in it is no key's: not shown either.
        {"UID=u;PWD=ab;cd;DSN=d", {"uid=u", "pwd=ab", "dsn=d"}, "ab", "UID=u;DSN=d"},
        {"", {}, "", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        QStringList read;
        for (const ConnectionStringPart& part : connectionStringParts(c.text))
            read << part.key + '=' + part.value + (part.braced ? " (braced)" : "");
        EXPECT_EQ(read, c.parts);
        EXPECT_EQ(connectionStringPassword(c.text), c.password);
        EXPECT_EQ(connectionStringWithoutPassword(c.text), c.shown);
    }
    // Values written by the program read back as themselves.
    for (const QString& value :
         {QString("a}b"), QString("{x"), QString("a;b"), QString(" s "), QString("}}")}) {
        const QString text = "K=" + bracedConnectionStringValue(value) + ";L=" + connectionStringValue(value);
        const QList<ConnectionStringPart> parts = connectionStringParts(text);
        ASSERT_EQ(parts.size(), 2) << text.toStdString();
        EXPECT_EQ(parts[0].value, value);
        EXPECT_EQ(parts[1].value, value);
    }
}

// A record names the database by its connection string without any password, however the
// user's name is written.
TEST(ConnectionStrings, AStagingRecordHoldsNoPassword) {
    for (const auto& [user, password] : {std::pair{"a{b", "s3cret"}, std::pair{"u", "a}b;c"}}) {
        const ConnectionTarget target = endpointNamed("dsn:m", {user, password})->target({});
        const QString database = StagingRecords::databaseOf(target);
        EXPECT_FALSE(database.contains("PWD", Qt::CaseInsensitive)) << database.toStdString();
        EXPECT_FALSE(database.contains(password)) << database.toStdString();
        EXPECT_TRUE(database.contains(user)) << database.toStdString();
    }
}
