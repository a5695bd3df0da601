#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <variant>

namespace tw {

// A field value as the database layer hands it over: Null, a text in its exact,
// locale-independent form (numbers, dates and times included), or binary bytes.
class Variant {
public:
    Variant() = default;  // Null
    Variant(QString text) : m_value(std::move(text)) {}
    Variant(const char* text) : m_value(QString::fromUtf8(text)) {}
    static Variant binary(QByteArray bytes);

    // Makes the value the text that the UTF-8 bytes spell, reusing the room of a text held
    // before: reading row after row into the same values then costs no allocation.
    void setUtf8Text(QByteArrayView utf8);

    bool isNull() const { return std::holds_alternative<std::monostate>(m_value); }
    bool isBinary() const { return std::holds_alternative<QByteArray>(m_value); }

    // The value as text: Null gives the empty text, binary gives upper-case hex digits.
    QString toString() const;

    bool operator==(const Variant& other) const = default;

private:
    std::variant<std::monostate, QString, QByteArray> m_value;
};

}  // namespace tw
