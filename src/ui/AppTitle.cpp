#include "ui/AppTitle.h"

#include <QGuiApplication>

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

void SetAppTitle() { QGuiApplication::setApplicationDisplayName(cutAppTitle(kProductTitle)); }

QString appTitle() { return QGuiApplication::applicationDisplayName(); }

}  // namespace tw
