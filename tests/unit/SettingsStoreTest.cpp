#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <functional>

#include "shell/SettingsStore.h"

using tw::SettingsStore;
namespace Key = tw::SettingKey;

namespace {

const QString kApp = tw::kSettingsApplication;
const QString kSection = tw::kSettingsSection;

int modeOf(const QString& path) {
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0) return -1;
    return st.st_mode & 0777;
}

}  // namespace

TEST(SettingsStore, AbsentKeysReadEmptyAndReadingCreatesNothing) {
    QTemporaryDir home;
    const QString folder = home.filePath("config");
    SettingsStore store(folder);
    for (const QString& key :
         {Key::OracleServer, Key::OracleUser, Key::OraclePassword, Key::DataSourceName}) {
        EXPECT_EQ(store.value(kApp, kSection, key), QString());
    }
    EXPECT_FALSE(QFile::exists(folder));
}

TEST(SettingsStore, ValuesSurviveARestartExactly) {
    QTemporaryDir home;
    const QStringList values = {
        "  blanks before and after  ",
        " ",
        "Müller – Straße",
        "Bücher 😀",
        "ключ",
        "pa;ss;word",
        "a,b",
        "a, b",
        "\"quoted\"",
        "it's",
        "back\\slash\\",
        "@Invalid()",
        "@String(x)",
        "@@",
        "#not a comment",
        ";not a comment",
        "=equals=",
        "[Tablewright]",
        "line\nbreak",
        "cr\r\nlf",
        "\ttab",
        "%25%",
        "Driver={x};Pwd={a}}b}",
    };
    for (const QString& value : values) {
        SettingsStore(home.path()).save(kApp, kSection, Key::OraclePassword, value);
        EXPECT_EQ(SettingsStore(home.path()).value(kApp, kSection, Key::OraclePassword), value)
            << qPrintable(value);
    }
}

TEST(SettingsStore, KeysAreKeptApartAndAnEmptiedValueIsStoredEmpty) {
    QTemporaryDir home;
    SettingsStore store(home.path());
    store.save(kApp, kSection, Key::OracleServer, "db1");
    store.save(kApp, kSection, Key::OracleUser, "scott");
    store.save(kApp, kSection, Key::OracleUser, "");
    SettingsStore restarted(home.path());
    EXPECT_EQ(restarted.value(kApp, kSection, Key::OracleServer), "db1");
    EXPECT_EQ(restarted.value(kApp, kSection, Key::OracleUser), "");
    EXPECT_EQ(restarted.value("OtherApp", kSection, Key::OracleServer), "");
    EXPECT_EQ(restarted.value(kApp, "OtherSection", Key::OracleServer), "");

    QFile file(store.filePath(kApp));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray content = file.readAll();
    EXPECT_TRUE(content.contains("[Tablewright]"));
    EXPECT_TRUE(content.contains("OracleUser="));  // the emptied key is still there
}

TEST(SettingsStore, ReadsAFileWrittenByHand) {
    QTemporaryDir home;
    QFile file(home.filePath("Quillmark.ini"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("[Tablewright]\nOracleServer=127.0.0.1\nOracleUser=scott\nDataSourceName=tw_demo\n");
    file.close();
    SettingsStore store(home.path());
    EXPECT_EQ(store.value(kApp, kSection, Key::OracleServer), "127.0.0.1");
    EXPECT_EQ(store.value(kApp, kSection, Key::DataSourceName), "tw_demo");
}

TEST(SettingsStore, FileAndCreatedFoldersAreOwnerOnly) {
    QTemporaryDir home;
    const QString folder = home.filePath("a/b/config");
    SettingsStore store(folder);
    ASSERT_TRUE(store.save(kApp, kSection, Key::OraclePassword, "tiger"));
    EXPECT_EQ(modeOf(store.filePath(kApp)), 0600);
    EXPECT_EQ(modeOf(folder), 0700);
    EXPECT_EQ(modeOf(home.filePath("a")), 0700);

    // Later saves keep it that way, and a file that others could read is closed to them.
    ::chmod(QFile::encodeName(store.filePath(kApp)).constData(), 0644);
    ASSERT_TRUE(store.save(kApp, kSection, Key::OraclePassword, "lion"));
    EXPECT_EQ(modeOf(store.filePath(kApp)), 0600);
    EXPECT_EQ(SettingsStore(folder).value(kApp, kSection, Key::OraclePassword), "lion");
}

TEST(SettingsStore, ExistingFoldersKeepTheirMode) {
    QTemporaryDir home;
    ::chmod(QFile::encodeName(home.path()).constData(), 0755);
    SettingsStore store(home.path());
    ASSERT_TRUE(store.save(kApp, kSection, Key::OracleServer, "x"));
    EXPECT_EQ(modeOf(home.path()), 0755);
}

TEST(SettingsStore, SaveReportsAFolderItCannotCreate) {
    QTemporaryDir home;
    QFile blocker(home.filePath("file"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    SettingsStore store(home.filePath("file/config"));
    EXPECT_FALSE(store.save(kApp, kSection, Key::OracleServer, "x"));
}

// Qt's INI reader cuts a value at ";", splits it at "," and drops an unknown escape; a value
// written by hand reads as written, stays so when the program saves another key, and the quoted
// form the program itself writes still reads as its content.
TEST(SettingsStore, ValuesWrittenByHandReadAsWritten) {
    const std::pair<QByteArray, QString> lines[] = {
        {"OracleConnectionString=Driver={Oracle 21 ODBC driver};DBQ={SID};UID={User};PWD={Password};",
         "Driver={Oracle 21 ODBC driver};DBQ={SID};UID={User};PWD={Password};"},
        {"OracleConnectionString=\"Driver={x};DBQ={SID};\"", "Driver={x};DBQ={SID};"},
        {"OraclePassword=ab,cd", "ab,cd"},
        {"OraclePassword=x;y", "x;y"},
        {"OraclePassword = a, b ; c ", "a, b ; c"},
        {"OraclePassword=C:\\oracle\\", "C:\\oracle\\"},
        {"OraclePassword=\"a\\\"b;c\"", "a\"b;c"},
        {"OraclePassword=tab\\there", "tab\there"},
    };
    for (const auto& [line, expected] : lines) {
        QTemporaryDir home;
        QFile file(home.filePath("Quillmark.ini"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("[Tablewright]\r\n" + line + "\r\nDataSourceName=tw_demo\r\n");
        file.close();
        const QString key = QString::fromUtf8(line.left(line.indexOf('=')).trimmed());
        SettingsStore store(home.path());
        EXPECT_EQ(store.value(kApp, kSection, key), expected) << line.constData();
        EXPECT_EQ(store.value(kApp, kSection, Key::DataSourceName), "tw_demo");
        ASSERT_TRUE(store.save(kApp, kSection, Key::OracleServer, "db1"));
        EXPECT_EQ(SettingsStore(home.path()).value(kApp, kSection, key), expected) << line.constData();
    }
}

// A folder, a fifo or a file that is not text in the settings file's place is said, reads as
// nothing without waiting, and is left as it is.
TEST(SettingsStore, AFileThatIsNoSettingsFileIsSaidAndLeftAlone) {
    const std::pair<const char*, std::function<bool(const QString&)>> places[] = {
        {"folder", [](const QString& path) { return QDir().mkdir(path); }},
        {"fifo",
         [](const QString& path) { return ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0; }},
        {"binary",
         [](const QString& path) {
             QFile file(path);
             return file.open(QIODevice::WriteOnly) &&
                    file.write(QByteArray("[Tablewright]\nA=\0\x01", 18)) > 0;
         }},
        {"compressed",
         [](const QString& path) {
             QFile file(path);
             return file.open(QIODevice::WriteOnly) && file.write("\x1f\x8b\x08\x00[Tablewright]\n") > 0;
         }},
    };
    for (const auto& [what, make] : places) {
        QTemporaryDir home;
        SettingsStore store(home.path());
        ASSERT_TRUE(make(store.filePath(kApp))) << what;
        EXPECT_FALSE(store.isReadable(kApp)) << what;
        EXPECT_FALSE(store.problem(kApp).isEmpty()) << what;
        EXPECT_EQ(store.value(kApp, kSection, Key::OracleUser), QString()) << what;
        EXPECT_FALSE(store.save(kApp, kSection, Key::OracleUser, "scott")) << what;
        EXPECT_FALSE(store.problem(kApp).isEmpty()) << what;
    }
}
