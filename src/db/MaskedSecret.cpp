#include "db/MaskedSecret.h"

#include "db/ConnectionString.h"

namespace tw {

QString maskedSecret(QString text, const QString& secret) {
    if (secret.isEmpty()) return text;
    // The braced form first: masking the bare value inside it would leave its braces around.
    const QString braced = connectionStringValue(secret);
    if (braced != secret) text.replace(braced, kMaskedSecret);
    return text.replace(secret, kMaskedSecret);
}

}  // namespace tw
