#pragma once

#include <QString>

namespace tw {

// A table of a database: its name, in its schema (or owner) where one is given, else where the
// session finds it.
struct TableRef {
    QString schema;
    QString name;

    // Another table of the same schema.
    TableRef named(const QString& other) const { return {schema, other}; }
    bool operator==(const TableRef&) const = default;
};

}  // namespace tw
