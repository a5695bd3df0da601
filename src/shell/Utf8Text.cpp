#include "shell/Utf8Text.h"

#include <QStringDecoder>

namespace tw {

QString textFromUtf8(QByteArrayView utf8) {
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
    return decoder(utf8);
}

}  // namespace tw
