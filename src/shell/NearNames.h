#pragma once

#include <QString>
#include <QStringList>

namespace tw {

// The names a mistyped one was probably meant to be: those it equals but for case, or else those
// a slip or two of typing away (a letter more, less, changed, or two swapped), closest first,
// at most `most` of them.
QStringList nearNames(const QString& given, const QStringList& names, int most = 3);

// "; did you mean X?" or "; did you mean X, Y or Z?" for the names, each as shown; empty for none.
QString didYouMean(const QStringList& names);

}  // namespace tw
