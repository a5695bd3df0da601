#pragma once

#include <QByteArray>
#include <map>
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

    qint64 count() const { return static_cast<qint64>(ends.size()); }
    void add(const InsertStatement& insert) {
        std::vector<BoundValue> parameters = insert.parameters();
        if (!parameters.empty()) withParameters[count()] = {insert.sentUtf8(), std::move(parameters)};
        text += insert.utf8();
        ends.push_back(text.size());
    }
    QByteArray statement(qint64 i) const {
        const qsizetype begin = i == 0 ? 0 : ends[i - 1];
        return text.mid(begin, ends[i] - begin);
    }
    void clear() {
        text.resize(0);
        ends.clear();
        withParameters.clear();
    }
};

}  // namespace tw
