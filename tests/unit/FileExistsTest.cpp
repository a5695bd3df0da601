#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "shell/FileExists.h"

using tw::FileExists;

TEST(FileExists, FindsFilesAndFolders) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString file = folder.filePath("HAND-M.CUR");
    QFile created(file);
    ASSERT_TRUE(created.open(QIODevice::WriteOnly));
    created.close();

    EXPECT_TRUE(FileExists(file));
    EXPECT_TRUE(FileExists(folder.path()));  // a folder has a last-change time too
}

TEST(FileExists, AnswersFalseForAnythingItCannotRead) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    EXPECT_FALSE(FileExists(folder.filePath("missing.cur")));
    EXPECT_FALSE(FileExists(folder.filePath("missing/HAND-M.CUR")));
    EXPECT_FALSE(FileExists(QString()));
    EXPECT_FALSE(FileExists(QStringLiteral("")));
    // A NUL inside the name must not shorten it to the existing folder.
    EXPECT_FALSE(FileExists(folder.path() + QChar(u'\0') + "HAND-M.CUR"));
    EXPECT_FALSE(FileExists(folder.filePath(QString(300, QLatin1Char('n')))));  // name too long
}
