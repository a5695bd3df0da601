#include "ui/AppTitle.h"

namespace tw {

QString cutAppTitle(QString title) {
    while (title.size() > kAppTitleMaxLength) {
        const qsizetype lastBlank = title.lastIndexOf(QLatin1Char(' '));
        if (lastBlank < 0) {
            title.truncate(kAppTitleMaxLength);
            break;
        }
        title.truncate(lastBlank);
    }
    return title;
}

namespace {
// Kept here rather than as Qt's application display name: the X11 platform appends that name to
// every window title, which would turn the box caption "Overwrite?" into "Overwrite? — …".
QString& storedTitle() {
    static QString title;
    return title;
}
}  // namespace

void SetAppTitle() { storedTitle() = cutAppTitle(kProductTitle); }

QString appTitle() { return storedTitle(); }

}  // namespace tw
