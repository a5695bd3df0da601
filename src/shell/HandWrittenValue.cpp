#include "shell/HandWrittenValue.h"

#include <QList>
#include <utility>

namespace tw {

namespace {

// The letters Qt's INI reader takes after a backslash: the C escapes, hex and octal.
bool isQtEscape(char letter) { return QByteArrayView("abfnrtv\"?'\\x01234567").contains(letter); }

// Whether Qt's reader would cut, split or change the value as written.
bool qtWouldMisread(QByteArrayView value) {
    bool quoted = false;
    for (qsizetype at = 0; at < value.size(); ++at) {
        const char letter = value[at];
        if (letter == '\\') {
            // At the end of the line, it joins the next line to the value.
            if (at + 1 == value.size() || !isQtEscape(value[at + 1])) return true;
            ++at;
        } else if (letter == '"') {
            quoted = !quoted;
        } else if (!quoted && (letter == ';' || letter == ',')) {
            return true;
        }
    }
    return false;
}

qsizetype trailingBackslashes(QByteArrayView value) {
    qsizetype count = 0;
    while (count < value.size() && value[value.size() - 1 - count] == '\\') ++count;
    return count;
}

}  // namespace

QMap<QString, QString> handWrittenValues(const QByteArray& iniText, const QString& section) {
    const QByteArray wantedSection = section.toUtf8();
    QMap<QByteArray, QByteArray> written;  // the last of a key counts, as for Qt
    QList<QByteArray> joined;              // keys Qt takes as part of the value above them
    bool inSection = false;
    bool joinsNext = false;
    for (QByteArray line : iniText.split('\n')) {
        line = line.trimmed();  // also the carriage return of a file written on Windows
        const bool continued = std::exchange(joinsNext, false);
        if (line.startsWith('[')) {
            const qsizetype end = line.indexOf(']');
            inSection = end > 0 && line.mid(1, end - 1).trimmed() == wantedSection;
            continue;
        }
        if (!inSection || line.startsWith(';') || line.startsWith('#')) continue;
        const qsizetype equals = line.indexOf('=');
        if (equals <= 0) continue;
        const QByteArray key = line.left(equals).trimmed();
        const QByteArray value = line.mid(equals + 1).trimmed();
        written.insert(key, value);
        if (continued) joined << key;
        joinsNext = trailingBackslashes(value) % 2 == 1;
    }
    QMap<QString, QString> misread;
    for (auto value = written.cbegin(); value != written.cend(); ++value) {
        if (qtWouldMisread(value.value()) || joined.contains(value.key()))
            misread.insert(QString::fromUtf8(value.key()), QString::fromUtf8(value.value()));
    }
    return misread;
}

}  // namespace tw
