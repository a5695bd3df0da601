#pragma once

#include <QByteArrayView>
#include <QString>

namespace tw {

// UTF-8 as text with every character kept. QString::fromUtf8 drops a byte order mark at the
// start, but in a table name, a column name or a value it is a character like any other.
QString textFromUtf8(QByteArrayView utf8);

}  // namespace tw
