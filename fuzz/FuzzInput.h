#pragma once

#include <fuzzer/FuzzedDataProvider.h>

#include <QByteArray>
#include <QString>

namespace tw::fuzz {

// Raw bytes of the input, as many as the input chooses.
inline QByteArray bytes(FuzzedDataProvider& input) {
    const std::string taken = input.ConsumeRandomLengthString(256);
    return QByteArray(taken.data(), static_cast<qsizetype>(taken.size()));
}

// Text of any UTF-16 units, lone surrogates included, or of UTF-8 bytes as Qt reads them.
inline QString text(FuzzedDataProvider& input) {
    const QByteArray raw = bytes(input);
    if (input.ConsumeBool()) return QString::fromUtf8(raw);
    return QString::fromUtf16(reinterpret_cast<const char16_t*>(raw.constData()), raw.size() / 2);
}

// Text a database can hold and SQLite can be given: whole characters (UTF-8 has no room for a
// lone surrogate) and no NUL, where SQL text ends for SQLite.
inline QString sqlText(FuzzedDataProvider& input) {
    QString result = QString::fromUtf8(bytes(input));
    result.remove(QChar(u'\0'));
    return result;
}

}  // namespace tw::fuzz
