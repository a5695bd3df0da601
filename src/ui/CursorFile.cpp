#include "ui/CursorFile.h"

#include <QFile>
#include <QImageReader>
#include <QPixmap>
#include <QtEndian>
#include <stdexcept>

namespace tw {

namespace {

[[noreturn]] void fail(const QString& path, const QString& why) {
    throw std::runtime_error(QStringLiteral("Cannot load cursor %1: %2").arg(path, why).toStdString());
}

}  // namespace

QCursor loadCursorFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) fail(path, file.errorString());

    // Directory header (reserved, type 2 = cursor, count), then 16-byte entries whose
    // bytes 4-7 hold the hotspot.
    const QByteArray head = file.read(6 + 16);
    const auto* bytes = reinterpret_cast<const uchar*>(head.constData());
    if (head.size() < 22 || qFromLittleEndian<quint16>(bytes) != 0 ||
        qFromLittleEndian<quint16>(bytes + 2) != 2 || qFromLittleEndian<quint16>(bytes + 4) == 0) {
        fail(path, QStringLiteral("not a cursor file"));
    }
    const int hotX = qFromLittleEndian<quint16>(bytes + 6 + 4);
    const int hotY = qFromLittleEndian<quint16>(bytes + 6 + 6);

    file.seek(0);
    QImageReader reader(&file, "cur");
    const QImage image = reader.read();
    if (image.isNull()) fail(path, reader.errorString());
    return QCursor(QPixmap::fromImage(image), hotX, hotY);
}

}  // namespace tw
