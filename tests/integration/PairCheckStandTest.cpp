// tablewright check against the stand's databases, as a user runs it.
#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "support/CommandLineRig.h"

using namespace tw;

namespace {

class PairCheck : public test::CommandLineRig {};

}  // namespace

// A check says per kind, direction and copy what arrives, and leaves no table on either side:
// what a killed check left, the next one takes away.
TEST_F(PairCheck, SaysWhatArrivesAndLeavesNothingEvenWhenKilled) {
    killableUnderSanitizers();
    const QStringList check{"check", "--from", "oracle", "--to", "sqlanywhere"};
    {
        const std::unique_ptr<QProcess> killed = start(check);
        killed->setReadChannel(QProcess::StandardError);
        QByteArray said;
        while (!said.contains("copying") && killed->waitForReadyRead(60000)) said += killed->readAll();
        killed->kill();
        killed->waitForFinished();
    }
    EXPECT_FALSE(tablesLike(0, "tw_chk%").isEmpty()) << "the killed check had made its tables";

    const test::ProgramRun checked = run(check + QStringList{"--json"});
    EXPECT_EQ(checked.exitCode, 1) << checked.err.toStdString();  // the empty text changes
    QMap<QString, QString> verdicts;                              // "TYPE from to copy": arrives (how)
    for (const QJsonValue kind : QJsonDocument::fromJson(checked.out.toUtf8())["kinds"].toArray()) {
        const QJsonObject k = kind.toObject();
        verdicts.insert(
            QStringList{k["type"].toString(), k["from"].toString(), k["to"].toString(), k["copy"].toString()}
                .join(' '),
            k["arrives"].toString() + ' ' + k["how"].toString());
    }
    EXPECT_EQ(verdicts.value("INTEGER oracle sqlanywhere faithful"), "exact ");
    EXPECT_EQ(verdicts.value("BIGINT sqlanywhere oracle plain"), "exact ");
    EXPECT_EQ(verdicts.value("VARCHAR(100) oracle sqlanywhere plain"), "changes empty text arrives as NULL");
    EXPECT_TRUE(verdicts.value("TEXT sqlanywhere oracle plain").startsWith("refused 1 of 3 values refused"));
    EXPECT_GE(verdicts.size(), 60) << checked.out.toStdString();

    EXPECT_EQ(tablesLike(0, "tw_chk%"), QStringList());
    EXPECT_EQ(tablesLike(1, "tw_chk%"), QStringList());
}
