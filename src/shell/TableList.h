#pragma once

#include <QString>

namespace tw {

// A sorted list of table names with per-item selected flags and a current item, separate from
// the selection (-1 when there is none). The tables window shows two of them; the catalogue
// fills them and the transfers, deletes and renames keep them up to date item by item.
class TableList {
public:
    virtual ~TableList() = default;

    virtual int count() const = 0;
    // The text of item i; the empty text where there is no item.
    virtual QString text(int index) const = 0;
    virtual bool isSelected(int index) const = 0;
    virtual void setSelected(int index, bool selected) = 0;
    virtual int selectedCount() const = 0;
    virtual int currentIndex() const = 0;
    virtual void setCurrentIndex(int index) = 0;
    virtual void clear() = 0;
    // Inserts the text at its sorted place.
    virtual void addItem(const QString& text) = 0;
    virtual void removeItem(int index) = 0;
};

// The order of the lists: letters compare without regard to case, as users read names;
// names that differ only in case keep a fixed order by their exact characters.
bool tableNameLess(const QString& left, const QString& right);

}  // namespace tw
