#include "transfer/PairCheck.h"

#include <QCoreApplication>
#include <QMap>

#include "db/Connection.h"
#include "db/Dialect.h"
#include "db/Side.h"
#include "db/SqlComposer.h"
#include "shell/FrontEnd.h"
#include "shell/ReportLines.h"
#include "shell/SortedTableList.h"
#include "transfer/CheckKinds.h"
#include "transfer/CopyEngine.h"
#include "transfer/CopyVerifier.h"
#include "transfer/ScratchTables.h"

namespace tw {

namespace {

// What the copies of a check tell: every failure and every table's outcome, by table; asked
// nothing, it replaces nothing (its tables are new).
class CheckFrontEnd : public FrontEnd {
public:
    explicit CheckFrontEnd(std::function<bool()> stopRequested) : m_stopRequested(std::move(stopRequested)) {}
    bool mayReplace(const QString&) override { return false; }
    QString newNameFor(const QString&) override { return QString(); }
    void nothingSelected(MissingSelection) override {}
    void progress(const QString&, qint64, qint64) override {}
    void tableFinished(const TableOutcome& outcome) override { outcomes.insert(outcome.table, outcome); }
    AfterFailure failed(const Failure& failure) override {
        if (!firstFailure.contains(failure.table)) firstFailure.insert(failure.table, failure);
        return AfterFailure::Resume;
    }
    bool stopRequested() override { return m_stopRequested && m_stopRequested(); }

    QMap<QString, TableOutcome> outcomes;
    QMap<QString, Failure> firstFailure;

private:
    std::function<bool()> m_stopRequested;
};

// A source table of one kind, made and filled; how many of its values are NULL.
struct MadeTable {
    const CheckKind* kind = nullptr;
    QString name;
    QString type;
    qint64 nulls = 0;
    QStringList refusedBySource;  // values the source itself would not hold
};

// A value as a person reads it, quoted so that its blanks show.
QString shortValue(const QString& value) {
    return QLatin1Char('\'') + shortened(visibleText(value), 40) + QLatin1Char('\'');
}

// How the first row that differs changed, from the verification's examples: the same row, by
// its id, as the source and the target hold it.
QString firstChange(const Verification& verification) {
    for (const RowDifference& before : verification.differences) {
        if (!before.onlyInSource || before.values.isEmpty()) continue;
        for (const RowDifference& after : verification.differences) {
            if (after.onlyInSource || after.values.value(0) != before.values.value(0)) continue;
            return QStringLiteral("%1 arrives as %2")
                .arg(shortValue(before.values.value(1)), shortValue(after.values.value(1)));
        }
        return QStringLiteral("%1 does not arrive").arg(shortValue(before.values.value(1)));
    }
    if (!verification.error.isEmpty()) return QStringLiteral("not read back: ") + oneLine(verification.error);
    return QStringLiteral("%1 rows arrive of %2").arg(verification.targetRows).arg(verification.sourceRows);
}

bool isBytes(const CheckKind& kind) {
    const ColumnSort sort = sortOf(kind.column);
    return sort == ColumnSort::Binary || sort == ColumnSort::VarBinary || sort == ColumnSort::LongBinary;
}

// The verdict on one kind's table, copied one way.
CheckVerdict judge(const MadeTable& made, const QString& copied, const CheckFrontEnd& front,
                   ScratchTables& target) {
    CheckVerdict verdict;
    verdict.kind = made.type;
    const auto failure = [&]() -> QString {
        for (const QString& table : {made.name, copied}) {
            if (front.firstFailure.contains(table))
                return oneLine(front.firstFailure.value(table).description);
        }
        return QStringLiteral("the copy did not finish");
    };
    const TableOutcome outcome = front.outcomes.value(made.name, front.outcomes.value(copied));
    if (!outcome.created || outcome.incomplete) {
        verdict.outcome = CheckVerdict::Outcome::Refused;
        verdict.detail = failure();
    } else if (outcome.rowsFailed > 0) {
        verdict.outcome = CheckVerdict::Outcome::Refused;
        verdict.detail = QStringLiteral("%1 of %2 values refused: %3")
                             .arg(outcome.rowsFailed)
                             .arg(outcome.rowsRead)
                             .arg(failure());
    } else if (outcome.verification && !outcome.verification->matches) {
        verdict.outcome = CheckVerdict::Outcome::Changes;
        verdict.detail = firstChange(*outcome.verification);
    } else if (const qint64 nulls = target.nullsIn(copied); nulls > made.nulls) {
        // The verification takes NULL and the empty value for one: the count tells them apart.
        verdict.outcome = CheckVerdict::Outcome::Changes;
        verdict.detail = isBytes(*made.kind) ? QStringLiteral("zero bytes arrive as NULL")
                                             : QStringLiteral("empty text arrives as NULL");
    }
    // Named "v (source type as target type)".
    for (const QString& fellBack : outcome.fellBack)
        verdict.detail += (verdict.detail.isEmpty() ? QString() : QStringLiteral("; ")) +
                          QStringLiteral("made as the plain copy's type, ") +
                          fellBack.section(QLatin1Char('('), 1).chopped(1);
    if (!made.refusedBySource.isEmpty())
        verdict.detail += (verdict.detail.isEmpty() ? QString() : QStringLiteral("; ")) +
                          QStringLiteral("the source holds no ") +
                          made.refusedBySource.join(QStringLiteral(", "));
    return verdict;
}

// The scratch tables of every kind the source's product has a type for, made and filled. Kinds
// its product makes as one type are tried as one, with all their values.
QList<MadeTable> makeSourceTables(ScratchTables& source, const QString& stem) {
    QList<std::pair<const CheckKind*, QString>> kinds;  // the first kind of each type, and the type
    QMap<QString, QList<BoundValue>> values;            // by type
    for (const CheckKind& kind : checkKinds()) {
        const std::optional<ColumnType> type = source.dialect().faithfulType(kind.column);
        if (!type) continue;
        if (!values.contains(type->text)) kinds.append({&kind, type->text});
        for (const BoundValue& value : kind.values) {
            if (value.kind != BoundValue::Kind::Null || values.value(type->text).isEmpty())
                values[type->text] << value;
        }
    }
    QList<MadeTable> made;
    const SqlComposer sql(source.dialect());
    const QString id = sql.quoted(QStringLiteral("id"));
    const QString column = sql.quoted(QStringLiteral("v"));
    for (const auto& [kind, type] : kinds) {
        MadeTable table{kind, source.claim(stem + kind->code), type, 0, {}};
        source.execute(sql.createHead({{}, table.name}) +
                       QStringLiteral("%1 INTEGER NOT NULL PRIMARY KEY, %2 %3)").arg(id, column, type));
        source.created(table.name);
        const QByteArray insert =
            sql.insertParameters({{}, table.name}, {QStringLiteral("id"), QStringLiteral("v")}).toUtf8();
        const QList<BoundValue>& rows = values[type];
        for (qsizetype row = 0; row < rows.size(); ++row) {
            const BoundValue& bound = rows[row];
            try {
                source.connection().executeWithParameters(
                    insert, {{BoundValue::Kind::Text, QByteArray::number(row + 1)}, bound});
                if (bound.kind == BoundValue::Kind::Null) ++table.nulls;
            } catch (const std::exception&) {
                table.refusedBySource << shortValue(QString::fromUtf8(bound.data));
            }
        }
        made << table;
    }
    return made;
}

// Copies the source's scratch tables into the target, plain or faithful, verified, and judges
// each.
QList<CheckVerdict> copyEach(const PairCheckRequest& request, const Side& from, const Side& to,
                             const QList<MadeTable>& made, ScratchTables& target, bool faithful) {
    SortedTableList sourceList, targetList;
    QMap<QString, QString> newNames;
    for (const MadeTable& table : made) {
        sourceList.addItem(table.name);
        newNames.insert(table.name,
                        target.claim(table.name + (faithful ? QStringLiteral("_f") : QStringLiteral("_p"))));
    }
    for (int i = 0; i < sourceList.count(); ++i) sourceList.setSelected(i, true);
    sourceList.setCurrentIndex(0);
    CheckFrontEnd front(request.stopRequested);
    CopyVerifier verifier(request.connections, from.target(request.values), to.target(request.values));
    TransferRequest transfer{front, request.connections, request.values, sourceList, targetList, &verifier,
                             1000};
    transfer.faithful = faithful;
    transfer.newNames = newNames;
    TransferTables(TransferBetween(from, to, target.dialect()), transfer);
    // Only what the copies made is the check's: a table of the user's with a new name is left.
    for (const TableOutcome& outcome : std::as_const(front.outcomes)) {
        if (outcome.created && !outcome.intoExisting) target.created(outcome.table);
    }
    QList<CheckVerdict> verdicts;
    for (const MadeTable& table : made) {
        CheckVerdict verdict = judge(table, newNames.value(table.name), front, target);
        verdict.from = from.name;
        verdict.to = to.name;
        verdict.faithful = faithful;
        verdicts << verdict;
    }
    return verdicts;
}

}  // namespace

QList<CheckVerdict> checkPair(const PairCheckRequest& request) {
    const QString stem = ScratchTables::namePrefix() + QString::number(QCoreApplication::applicationPid());
    ScratchTables first(request.connections, request.first, request.values);
    ScratchTables second(request.connections, request.second, request.values);
    first.sweep();
    second.sweep();
    QList<CheckVerdict> verdicts;
    const struct {
        const Side& from;
        const Side& to;
        ScratchTables& source;
        ScratchTables& target;
        QString stem;
    } directions[] = {{request.first, request.second, first, second, stem + QStringLiteral("a_")},
                      {request.second, request.first, second, first, stem + QStringLiteral("b_")}};
    for (const auto& direction : directions) {
        const QList<MadeTable> made = makeSourceTables(direction.source, direction.stem);
        for (const bool faithful : {false, true}) {
            if (request.stopRequested && request.stopRequested()) return verdicts;
            if (request.say)
                request.say(QStringLiteral("copying %1 kinds of column from %2 to %3, %4")
                                .arg(made.size())
                                .arg(direction.from.name, direction.to.name,
                                     faithful ? QStringLiteral("faithful") : QStringLiteral("plain")));
            verdicts << copyEach(request, direction.from, direction.to, made, direction.target, faithful);
        }
        direction.source.dropAll();
        direction.target.dropAll();
    }
    return verdicts;
}

}  // namespace tw
