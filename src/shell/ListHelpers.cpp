#include "shell/ListHelpers.h"

namespace tw {

bool ListHasItem(const TableList& list, const QString& text) {
    bool found = false;
    const int count = list.count();
    for (int i = 0; i < count; ++i) {
        if (list.text(i) == text) found = true;
    }
    return found;
}

bool ListHasItemNoCase(const TableList& list, const QString& text) {
    bool found = false;
    const int count = list.count();
    for (int i = 0; i < count; ++i) {
        if (list.text(i).toLower() == text.toLower()) found = true;
    }
    return found;
}

QString ListedNameNoCase(const TableList& list, const QString& text) {
    QString listed = text;
    const QString wanted = text.toLower();
    for (int i = 0; i < list.count(); ++i) {
        if (list.text(i).toLower() == wanted) listed = list.text(i);
    }
    return listed;
}

void ListRemoveItem(TableList& list, const QString& text) {
    const int count = list.count();
    for (int i = 0; i < count; ++i) {
        // Past the shortened end there is nothing left to compare or remove.
        if (i < list.count() && list.text(i) == text) list.removeItem(i);
    }
}

Variant NullToDefault(const Variant& value, const Variant& defaultValue) {
    return value.isNull() ? defaultValue : value;
}

}  // namespace tw
