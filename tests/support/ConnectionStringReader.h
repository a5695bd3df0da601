#pragma once

#include <QString>
#include <optional>
#include <utility>
#include <vector>

namespace tw::test {

using ConnectionPairs = std::vector<std::pair<QString, QString>>;

// Reads a connection string by the ODBC rules, independently of the code that writes one:
// KEY=VALUE pairs separated by ";", a value that begins with "{" running to the first "}" that
// is not doubled. Nothing when the text does not follow the rules (a pair without "=", an
// unclosed brace, text between a closing brace and the next ";").
inline std::optional<ConnectionPairs> readConnectionString(const QString& text) {
    ConnectionPairs pairs;
    qsizetype at = 0;
    while (at < text.size()) {
        const qsizetype equals = text.indexOf(QLatin1Char('='), at);
        const qsizetype semicolon = text.indexOf(QLatin1Char(';'), at);
        if (equals < 0 || (semicolon >= 0 && semicolon < equals)) return std::nullopt;
        const QString key = text.mid(at, equals - at);
        QString value;
        at = equals + 1;
        if (at < text.size() && text[at] == QLatin1Char('{')) {
            for (++at;; ++at) {
                if (at >= text.size()) return std::nullopt;
                if (text[at] != QLatin1Char('}')) {
                    value += text[at];
                } else if (at + 1 < text.size() && text[at + 1] == QLatin1Char('}')) {
                    value += QLatin1Char('}');
                    ++at;
                } else {
                    ++at;
                    break;
                }
            }
            if (at < text.size() && text[at] != QLatin1Char(';')) return std::nullopt;
        } else {
            const qsizetype end = text.indexOf(QLatin1Char(';'), at);
            value = text.mid(at, end < 0 ? -1 : end - at);
            at = end < 0 ? text.size() : end;
        }
        pairs.emplace_back(key, value);
        ++at;  // the ";"
    }
    return pairs;
}

}  // namespace tw::test
