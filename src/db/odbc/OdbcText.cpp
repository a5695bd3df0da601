#include "db/odbc/OdbcText.h"

#include <QStringEncoder>

namespace tw::odbc {

void toSql(const QString& text, SqlString& into) {
    QStringEncoder encoder(QStringEncoder::Utf8);
    into.resize(encoder.requiredSpace(text.size()));
    char* end = encoder.appendToBuffer(into.data(), text);
    into.resize(end - into.constData());
}

}  // namespace tw::odbc
