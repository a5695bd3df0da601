#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>

namespace tw {

// A value of an INI file as its user wrote it, where Qt's INI reader would read something else:
// it ends a value at a ";" and splits it into a list at a "," (both outside double quotes), and
// drops a backslash with the letter after it unless the two are one of its escapes. Qt writes
// every such value quoted or escaped, so a value it wrote is never one of these: none is given
// for it. Keyed by the keys of the section that hold such a value.
QMap<QString, QString> handWrittenValues(const QByteArray& iniText, const QString& section);

}  // namespace tw
