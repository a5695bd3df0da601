#pragma once

#include <rapidcheck.h>

#include <QByteArray>
#include <QString>
#include <ostream>
#include <vector>

#include "shell/Variant.h"

// Generated input for property tests: text that leans on the characters SQL and connection
// strings give a meaning to, mixed with plain letters, non-ASCII and characters outside the
// Basic Multilingual Plane.
namespace tw::test {

// One Unicode scalar value (never a lone surrogate); withNul lets U+0000 appear.
inline rc::Gen<char32_t> awkwardCharacter(bool withNul) {
    const std::vector<char32_t> meaningful = {'"', '\'', ';',  '{',  '}',  '=',    ' ',    '(',
                                              ')', ',',  '\\', '\n', '\t', 0xFEFF, 0x00FC, 0x20AC};
    auto plain =
        rc::gen::oneOf(rc::gen::inRange<char32_t>(0x21, 0x7F), rc::gen::inRange<char32_t>(0x80, 0xD800),
                       rc::gen::inRange<char32_t>(0xE000, 0x110000));
    auto control = rc::gen::inRange<char32_t>(withNul ? 0 : 1, 0x20);
    return rc::gen::weightedOneOf<char32_t>(
        {{4, rc::gen::elementOf(meaningful)}, {4, std::move(plain)}, {1, std::move(control)}});
}

inline rc::Gen<QString> awkwardText(bool withNul = true) {
    return rc::gen::map(
        rc::gen::container<std::u32string>(awkwardCharacter(withNul)), [](const std::u32string& characters) {
            return QString::fromUcs4(characters.data(), static_cast<qsizetype>(characters.size()));
        });
}

// A field value: Null, text (the empty text included) or binary bytes.
inline rc::Gen<Variant> fieldValue() {
    return rc::gen::oneOf(
        rc::gen::just(Variant()),
        rc::gen::map(awkwardText(false), [](const QString& text) { return Variant(text); }),
        rc::gen::map(rc::gen::arbitrary<std::string>(), [](const std::string& bytes) {
            return Variant::binary(QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())));
        }));
}

}  // namespace tw::test

// What rapidcheck prints for a failing case.
inline void showValue(const QString& text, std::ostream& out) { out << '"' << text.toStdString() << '"'; }
namespace tw {
inline void showValue(const Variant& value, std::ostream& out) {
    if (value.isNull()) {
        out << "Null";
    } else {
        out << (value.isBinary() ? "binary " : "text ") << '"' << value.toUtf8().toStdString() << '"';
    }
}
}  // namespace tw
