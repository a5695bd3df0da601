#pragma once

#include <QString>

namespace tw {

// What a message shows in place of a secret.
inline const QString kMaskedSecret = QStringLiteral("********");

// The text with every occurrence of the secret, as typed and as a connection string carries it,
// shown as kMaskedSecret. An empty secret masks nothing.
QString maskedSecret(QString text, const QString& secret);

}  // namespace tw
