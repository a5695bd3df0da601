#include "shell/Variant.h"

#include <cstring>

#include "shell/Utf8Text.h"

namespace tw {

Variant Variant::binary(QByteArray bytes) {
    Variant value;
    value.m_kind = Kind::Binary;
    value.m_bytes = std::move(bytes);
    return value;
}

void Variant::setUtf8Text(QByteArrayView utf8) {
    m_kind = Kind::Text;
    m_bytes.resize(utf8.size());
    if (!utf8.isEmpty()) std::memcpy(m_bytes.data(), utf8.data(), static_cast<size_t>(utf8.size()));
}

const QByteArray& Variant::bytes() const {
    static const QByteArray none;
    return m_kind == Kind::Binary ? m_bytes : none;
}

QString Variant::toString() const { return textFromUtf8(toUtf8()); }

QByteArray Variant::toUtf8() const {
    switch (m_kind) {
        case Kind::Text:
            return m_bytes;
        case Kind::Binary:
            return m_bytes.toHex().toUpper();
        case Kind::Null:
            break;
    }
    return QByteArray();
}

}  // namespace tw
