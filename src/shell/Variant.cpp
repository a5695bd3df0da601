#include "shell/Variant.h"

namespace tw {

Variant Variant::binary(QByteArray bytes) {
    Variant value;
    value.m_value = std::move(bytes);
    return value;
}

QString Variant::toString() const {
    if (const auto* text = std::get_if<QString>(&m_value)) return *text;
    if (const auto* bytes = std::get_if<QByteArray>(&m_value)) {
        return QString::fromLatin1(bytes->toHex().toUpper());
    }
    return QString();
}

}  // namespace tw
