#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace tw {

// A field value as the database layer hands it over: Null, a text in its exact,
// locale-independent form (numbers, dates and times included), or binary bytes. Text is held
// as the UTF-8 the databases speak, so that copying a value from one database into a
// statement for another never converts it.
class Variant {
public:
    Variant() = default;  // Null
    Variant(const QString& text) : m_kind(Kind::Text), m_bytes(text.toUtf8()) {}
    Variant(const char* utf8) : m_kind(Kind::Text), m_bytes(utf8) {}
    static Variant binary(QByteArray bytes);

    // Makes the value the text that the UTF-8 bytes spell, reusing the room of the bytes held
    // before: reading row after row into the same values then costs no allocation.
    void setUtf8Text(QByteArrayView utf8);
    // Makes the value Null, keeping that room for the text of the next row.
    void setNull() {
        m_kind = Kind::Null;
        m_bytes.resize(0);
    }

    bool isNull() const { return m_kind == Kind::Null; }
    bool isBinary() const { return m_kind == Kind::Binary; }
    // A text of no characters: not Null, though every statement writes it as NULL.
    bool isEmptyText() const { return m_kind == Kind::Text && m_bytes.isEmpty(); }

    // The value as text: Null gives the empty text, binary gives upper-case hex digits.
    QString toString() const;
    // The same as UTF-8; a text value comes without copying.
    QByteArray toUtf8() const;
    // A binary value's bytes; empty for other values.
    const QByteArray& bytes() const;
    // A text value's UTF-8 bytes as they are held; empty for Null and for binary values.
    QByteArrayView textUtf8() const {
        return m_kind == Kind::Text ? QByteArrayView(m_bytes) : QByteArrayView();
    }

    bool operator==(const Variant& other) const = default;

private:
    enum class Kind { Null, Text, Binary };
    Kind m_kind = Kind::Null;
    QByteArray m_bytes;
};

}  // namespace tw
