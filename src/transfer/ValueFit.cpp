#include "transfer/ValueFit.h"

#include "db/AdoType.h"
#include "shell/GroupedCount.h"
#include "shell/ReportLines.h"
#include "shell/Utf8Text.h"

namespace tw {

namespace {

bool isBinaryAdoType(int type) {
    return type == AdoType::Binary || type == AdoType::VarBinary || type == AdoType::LongVarBinary;
}

constexpr qsizetype kShownBytes = 16;

QString shownBytes(const QByteArray& bytes) {
    const QString hex = QStringLiteral("0x") + QString::fromLatin1(bytes.left(kShownBytes).toHex().toUpper());
    return bytes.size() > kShownBytes ? hex + QStringLiteral("…") : hex;
}

}  // namespace

ValueFit fitOf(const QString& column, const Variant& value, int fieldType, ColumnKind kind,
               const Dialect& target) {
    ValueFit fit;
    if (value.isBinary() && kind != ColumnKind::Bytes && !isBinaryAdoType(fieldType)) {
        if (target.keepsAnyStorageClass()) {
            fit.asBytes = true;
        } else {
            fit.refusal = QStringLiteral(
                              "column %1, value %2: %3 bytes stored in a column of text; %4 holds no "
                              "bytes in a column of text")
                              .arg(column, shownBytes(value.bytes()), groupedCount(value.bytes().size()),
                                   target.title());
        }
        return fit;
    }
    const QByteArrayView text = value.textUtf8();
    if (text.contains('\0')) {
        QString shown = textFromUtf8(text);
        shown.replace(QChar(0), QStringLiteral("\\0"));
        fit.refusal =
            QStringLiteral("column %1, value '%2': text with a NUL character cannot go into %3 text")
                .arg(column, shortened(shown, 40), target.title());
    }
    return fit;
}

}  // namespace tw
