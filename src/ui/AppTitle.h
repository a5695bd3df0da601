#pragma once

#include <QString>

#include "shell/ProductTitle.h"

namespace tw {

// The platform keeps application titles short; longer titles lose whole words from the end.
inline constexpr qsizetype kAppTitleMaxLength = 40;

// Cuts a title to at most 40 characters, one trailing word at a time. A title that is still
// too long but has no blank left is cut hard at 40 characters.
QString cutAppTitle(QString title);

// Sets the program-wide application title from the product title. Message boxes without a
// title of their own show it.
void SetAppTitle();
QString appTitle();

}  // namespace tw
