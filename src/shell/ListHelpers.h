#pragma once

#include <QString>

#include "shell/TableList.h"
#include "shell/Variant.h"

namespace tw {

// True when an item equals the text exactly, case included.
bool ListHasItem(const TableList& list, const QString& text);

// True when an item equals the text once both are lower-cased.
bool ListHasItemNoCase(const TableList& list, const QString& text);

// The text as the list writes it, where an item equals it once both are lower-cased (the last
// such item); else the text itself.
QString ListedNameNoCase(const TableList& list, const QString& text);

// Removes items equal to the text, walking the positions the list had when it started: after
// a removal the item that moves up into that position is not looked at, so of two equal
// neighbours only the first goes.
void ListRemoveItem(TableList& list, const QString& text);

// The default when the value is Null, otherwise the value itself.
Variant NullToDefault(const Variant& value, const Variant& defaultValue);

}  // namespace tw
