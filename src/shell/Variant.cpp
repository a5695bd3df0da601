#include "shell/Variant.h"

#include <QStringDecoder>

namespace tw {

Variant Variant::binary(QByteArray bytes) {
    Variant value;
    value.m_value = std::move(bytes);
    return value;
}

void Variant::setUtf8Text(QByteArrayView utf8) {
    QString* text = std::get_if<QString>(&m_value);
    if (!text) text = &m_value.emplace<QString>();
    QStringDecoder decoder(QStringDecoder::Utf8);
    text->resize(decoder.requiredSpace(utf8.size()));
    const QChar* end = decoder.appendToBuffer(text->data(), utf8);
    text->truncate(end - text->constData());
}

QString Variant::toString() const {
    if (const auto* text = std::get_if<QString>(&m_value)) return *text;
    if (const auto* bytes = std::get_if<QByteArray>(&m_value)) {
        return QString::fromLatin1(bytes->toHex().toUpper());
    }
    return QString();
}

}  // namespace tw
