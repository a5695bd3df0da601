// The transfer log's file: written only where it is the user's own regular file, kept
// owner-only, and a failure told to the front end once a run.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <functional>
#include <ostream>
#include <vector>

#include "shell/LoggingFrontEnd.h"
#include "shell/TransferLog.h"
#include "support/RecordingFrontEnd.h"

using namespace tw;

namespace {

// What lies at a path, without following a link or opening a fifo.
struct Found {
    bool exists = false;
    mode_t mode = 0;
    QByteArray content;  // of a regular file
    bool operator==(const Found&) const = default;
};
void PrintTo(const Found& what, std::ostream* out) {
    if (!what.exists) {
        *out << "nothing";
        return;
    }
    *out << "mode " << std::oct << what.mode << std::dec << ", \"" << what.content.toStdString() << '"';
}

Found found(const QString& path) {
    struct stat status {};
    if (::lstat(QFile::encodeName(path).constData(), &status) != 0) return {};
    Found what{true, status.st_mode, {}};
    QFile file(path);
    if (S_ISREG(status.st_mode) && file.open(QIODevice::ReadOnly)) what.content = file.readAll();
    return what;
}

mode_t permissionsOf(const QString& path) { return found(path).mode & 07777; }

void writeFile(const QString& path, const QByteArray& content, mode_t mode) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(content);
    file.close();
    ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), mode), 0);
}

// Where a case puts things: the log's folder, the log itself, and another file of the user's.
struct Places {
    QString folder;
    QString log;
    QString elsewhere;
};

}  // namespace

TEST(TransferLog, AppendsToAFileOnlyItsOwnerMayRead) {
    QTemporaryDir home;
    TransferLog log(home.filePath("state/tablewright"));
    ASSERT_TRUE(log.append({"first", "second"}));
    EXPECT_EQ(found(log.filePath()).content, "first\nsecond\n");
    EXPECT_EQ(permissionsOf(log.filePath()), 0600u);
    EXPECT_EQ(permissionsOf(home.filePath("state/tablewright")), 0700u);

    // A log someone made readable by others is made owner-only again and kept.
    ASSERT_EQ(::chmod(QFile::encodeName(log.filePath()).constData(), 0644), 0);
    ASSERT_TRUE(log.append({"third"}));
    EXPECT_EQ(found(log.filePath()).content, "first\nsecond\nthird\n");
    EXPECT_EQ(permissionsOf(log.filePath()), 0600u);
}

TEST(TransferLog, WritesNothingButTheUsersOwnRegularFile) {
    struct Case {
        const char* what;
        std::function<bool(const Places&)> prepare;  // false: cannot be set up here
        QString reason;
    };
    const auto inFolder = [](const Places& places) { return QDir().mkpath(places.folder); };
    const std::vector<Case> cases{
        {"a link to another file of the user's",
         [&](const Places& places) {
             writeFile(places.elsewhere, "the user's own\n", 0644);
             return inFolder(places) && ::symlink(qPrintable(places.elsewhere), qPrintable(places.log)) == 0;
         },
         "it is a symbolic link"},
        {"a link to a file not there yet",
         [&](const Places& places) {
             return inFolder(places) && ::symlink(qPrintable(places.elsewhere), qPrintable(places.log)) == 0;
         },
         "it is a symbolic link"},
        {"a fifo nobody reads",
         [&](const Places& places) {
             return inFolder(places) && ::mkfifo(qPrintable(places.log), 0600) == 0;
         },
         "it is not a regular file"},
        {"a folder", [&](const Places& places) { return QDir().mkpath(places.log); }, "it is a folder"},
        {"another user's file",
         [&](const Places& places) {
             if (!inFolder(places)) return false;
             writeFile(places.log, "theirs\n", 0600);
             return ::geteuid() == 0 && ::chown(qPrintable(places.log), 65534, 65534) == 0;
         },
         "it belongs to another user"},
        {"where the folder is a file",
         [&](const Places& places) {
             writeFile(places.folder, "", 0600);
             return true;
         },
         "tablewright is not a folder"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QTemporaryDir home;
        TransferLog log(home.filePath("tablewright"));
        const Places places{home.filePath("tablewright"), log.filePath(), home.filePath("elsewhere")};
        if (!c.prepare(places)) continue;  // chown needs root
        const Found logBefore = found(places.log);
        const Found elsewhereBefore = found(places.elsewhere);

        EXPECT_FALSE(log.append({"heading with the connection values"}));
        EXPECT_TRUE(log.lastError().endsWith(c.reason)) << log.lastError().toStdString();
        EXPECT_EQ(found(places.log), logBefore);
        EXPECT_EQ(found(places.elsewhere), elsewhereBefore);
    }
}

TEST(TransferLog, TheFrontEndHearsOnceARunThatItCannotBeWritten) {
    QTemporaryDir home;
    writeFile(home.filePath("tablewright"), "", 0600);
    TransferLog log(home.filePath("tablewright"));
    test::RecordingFrontEnd front;
    for (int press = 0; press < 2; ++press) {  // two buttons pressed in one run
        LoggingFrontEnd logged(front, &log, "Delete Table/s, Oracle");
        logged.tableDropped("DEPT");
        logged.tableDropped("EMP");
    }
    EXPECT_EQ(front.logsNotWritten.join('\n').toStdString(),
              (log.filePath() + ": " + home.filePath("tablewright") + " is not a folder").toStdString());
}
