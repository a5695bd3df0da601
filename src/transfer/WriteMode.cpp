#include "transfer/WriteMode.h"

namespace tw {

namespace {

constexpr struct {
    WriteMode mode;
    const char* name;
} kNames[] = {
    {WriteMode::Replace, "replace"}, {WriteMode::Append, "append"}, {WriteMode::Truncate, "truncate"}};

}  // namespace

QString writeModeName(WriteMode mode) {
    for (const auto& named : kNames) {
        if (named.mode == mode) return QString::fromLatin1(named.name);
    }
    return QString();
}

std::optional<WriteMode> writeModeNamed(const QString& name) {
    for (const auto& named : kNames) {
        if (name == QLatin1String(named.name)) return named.mode;
    }
    return std::nullopt;
}

}  // namespace tw
