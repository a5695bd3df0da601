#include "db/MaskedSecret.h"

#include "db/ConnectionString.h"

namespace tw {

QString maskedSecret(QString text, const QString& secret) {
    if (secret.isEmpty()) return text;
    // The braced forms first: masking the bare value inside one would leave its braces around.
    for (const QString& braced : {bracedConnectionStringValue(secret), connectionStringValue(secret)}) {
        if (braced != secret) text.replace(braced, kMaskedSecret);
    }
    return text.replace(secret, kMaskedSecret);
}

}  // namespace tw
