#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

#include "db/odbc/Handle.h"

namespace tw::odbc {

// A name as a catalogue function lists it: none where it is NULL. It goes back to the driver
// as it came, NULL as NULL and an empty name as an empty name.
using CatalogueName = std::optional<QByteArray>;

// The value of a column of the row a catalogue result stands on, NULL as none; text in UTF-8
// whatever its length.
std::optional<QByteArray> textAt(const Handle& stmt, SQLUSMALLINT column);
std::optional<qint64> numberAt(const Handle& stmt, SQLUSMALLINT column);
// A name the driver gave in UTF-8; NULL as the empty text.
QString nameText(const std::optional<QByteArray>& utf8);

}  // namespace tw::odbc
