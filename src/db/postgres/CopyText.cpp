#include "db/postgres/CopyText.h"

namespace tw::postgres {

void appendCopyValue(QByteArray& line, const BoundValue& value) {
    switch (value.kind) {
        case BoundValue::Kind::Null:
            line += "\\N";
            return;
        case BoundValue::Kind::Bytes:
            // The backslash of bytea's \x is itself escaped for COPY.
            line += "\\\\x";
            line += value.data.toHex();
            return;
        case BoundValue::Kind::Text:
            break;
    }
    line.reserve(line.size() + value.data.size());
    for (const char c : value.data) {
        switch (c) {
            case '\\':
                line += "\\\\";
                break;
            case '\t':
                line += "\\t";
                break;
            case '\n':
                line += "\\n";
                break;
            case '\r':
                line += "\\r";
                break;
            default:
                line += c;
        }
    }
}

}  // namespace tw::postgres
