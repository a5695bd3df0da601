#pragma once

#include <QByteArray>
#include <map>
#include <numeric>
#include <vector>

#include "db/Connection.h"
#include "transfer/CopyStatements.h"

namespace tw {

// The rows of a batch not yet written, with the literal statement of each, end to end: a batch
// the database refuses goes again row by row, each row as the statement the row-by-row copy
// sends.
struct RowBatch {
    QByteArray text;
    std::vector<qsizetype> ends;
    qint64 firstRow = 0;
    // The rows whose statements carry values too long for literals, by their place.
    struct Sent {
        QByteArray text;
        std::vector<BoundValue> parameters;
    };
    std::map<qint64, Sent> withParameters;
    // Each row's empty texts, written as NULL: they count once the row is written.
    std::vector<int> emptyTexts;

    qint64 count() const { return static_cast<qint64>(ends.size()); }
    void add(const InsertStatement& insert, int rowEmptyTexts) {
        std::vector<BoundValue> parameters = insert.parameters();
        if (!parameters.empty()) withParameters[count()] = {insert.sentUtf8(), std::move(parameters)};
        text += insert.utf8();
        ends.push_back(text.size());
        emptyTexts.push_back(rowEmptyTexts);
    }
    qint64 emptyTextCount() const { return std::accumulate(emptyTexts.begin(), emptyTexts.end(), qint64(0)); }
    QByteArray statement(qint64 i) const {
        const qsizetype begin = i == 0 ? 0 : ends[i - 1];
        return text.mid(begin, ends[i] - begin);
    }
    void clear() {
        text.resize(0);
        ends.clear();
        withParameters.clear();
        emptyTexts.clear();
    }
};

}  // namespace tw
