#pragma once

#include <QList>
#include <QQueue>
#include <QStringList>

#include "shell/FrontEnd.h"

namespace tw::test {

// A front end without a window: it answers from what the test set up and keeps everything it
// was told.
class RecordingFrontEnd : public FrontEnd {
public:
    bool replace = false;      // the answer to every overwrite question
    QQueue<QString> newNames;  // answers to the rename prompts; none left leaves the name
    QStringList asked;         // tables asked about, and old names asked for
    QList<Failure> failures;
    QList<MissingSelection> missing;
    QList<qint64> rowsDone;
    QList<TableOutcome> outcomes;
    QStringList logsNotWritten;
    QStringList leftoversRemoved;  // "path: reason" each time the transfer log's failure was told

    bool mayReplace(const QString& table) override {
        asked << table;
        return replace;
    }
    QString newNameFor(const QString& oldName) override {
        asked << oldName;
        return newNames.isEmpty() ? QString() : newNames.dequeue();
    }
    AfterFailure failed(const Failure& failure) override {
        failures << failure;
        return AfterFailure::Resume;
    }
    void nothingSelected(MissingSelection which) override { missing << which; }
    void progress(const QString&, qint64 done, qint64) override { rowsDone << done; }
    void tableFinished(const TableOutcome& outcome) override { outcomes << outcome; }
    void leftoverRemoved(const QString&, const QString& leftover) override { leftoversRemoved << leftover; }
    void logNotWritten(const QString& path, const QString& reason) override {
        logsNotWritten << path + QStringLiteral(": ") + reason;
    }
};

}  // namespace tw::test
