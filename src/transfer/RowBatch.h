#pragma once

#include <QByteArray>
#include <QList>
#include <cstring>
#include <vector>

#include "db/Dialect.h"
#include "shell/Variant.h"

namespace tw {

// The empty values of rows that go as NULL: texts of no characters and bytes of none.
struct EmptyValues {
    int texts = 0;
    int bytes = 0;
    void count(const Variant& value) {
        if (value.isBinary()) {
            ++bytes;
        } else {
            ++texts;
        }
    }
};

// The rows of a batch not yet written, each value as read and how it goes into its column, end
// to end in one buffer: a batch the database refuses is tried again by halves, and only a row
// refused on its own gets the literal statement the row-by-row copy sends.
class RowBatch {
public:
    qint64 firstRow = 0;

    qint64 count() const { return static_cast<qint64>(m_ends.size()); }
    qsizetype bytes() const { return m_values.size(); }
    // The room a row of these values takes in the batch.
    static qsizetype bytesOf(const std::vector<BoundValue>& row) {
        qsizetype bytes = 0;
        for (const BoundValue& value : row) bytes += kHead + value.data.size();
        return bytes;
    }

    void addValue(const Variant& value, ColumnKind kind) {
        const QByteArrayView data = value.isBinary() ? QByteArrayView(value.bytes()) : value.textUtf8();
        const char head[2] = {static_cast<char>(value.isNull()     ? 0
                                                : value.isBinary() ? 2
                                                                   : 1),
                              static_cast<char>(kind)};
        const qsizetype length = data.size();
        m_values.append(head, 2);
        m_values.append(reinterpret_cast<const char*>(&length), sizeof length);
        m_values.append(data);
    }
    void endRow(EmptyValues rowEmpty) {
        m_ends.push_back(m_values.size());
        m_empty.push_back(rowEmpty);
    }

    // The i-th row's values and how each goes.
    void row(qint64 i, std::vector<Variant>& values, QList<ColumnKind>& kinds) const {
        values.clear();
        kinds.clear();
        const char* at = m_values.constData() + (i == 0 ? 0 : m_ends[i - 1]);
        const char* const end = m_values.constData() + m_ends[i];
        while (at < end) {
            qsizetype length = 0;
            std::memcpy(&length, at + 2, sizeof length);
            const QByteArrayView data(at + kHead, length);
            Variant value;
            if (at[0] == 1) value.setUtf8Text(data);
            if (at[0] == 2) value = Variant::binary(data.toByteArray());
            values.push_back(std::move(value));
            kinds << static_cast<ColumnKind>(at[1]);
            at += kHead + length;
        }
    }
    EmptyValues emptyValues(qint64 i) const { return m_empty[i]; }
    EmptyValues emptyValues(qint64 from, qint64 to) const {
        EmptyValues sum;
        for (qint64 i = from; i < to; ++i) {
            sum.texts += m_empty[i].texts;
            sum.bytes += m_empty[i].bytes;
        }
        return sum;
    }
    EmptyValues emptyValues() const { return emptyValues(0, count()); }

    void clear() {
        m_values.resize(0);  // keeps its room for the next batch
        m_ends.clear();
        m_empty.clear();
    }

private:
    static constexpr qsizetype kHead = 2 + sizeof(qsizetype);  // kind, how it goes, length
    QByteArray m_values;
    std::vector<qsizetype> m_ends;
    std::vector<EmptyValues> m_empty;
};

}  // namespace tw
