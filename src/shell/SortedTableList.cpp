#include "shell/SortedTableList.h"

#include <algorithm>
#include <stdexcept>

namespace tw {

QString SortedTableList::text(int index) const { return valid(index) ? m_items[index].text : QString(); }

bool SortedTableList::isSelected(int index) const {
    if (!valid(index)) throw std::out_of_range("Invalid list index");
    return m_items[index].selected;
}

void SortedTableList::setSelected(int index, bool selected) {
    if (!valid(index)) throw std::out_of_range("Invalid list index");
    m_items[index].selected = selected;
}

int SortedTableList::selectedCount() const {
    return static_cast<int>(
        std::count_if(m_items.begin(), m_items.end(), [](const Item& item) { return item.selected; }));
}

void SortedTableList::clear() {
    m_items.clear();
    m_current = -1;
}

void SortedTableList::addItem(const QString& text) {
    const auto at =
        std::upper_bound(m_items.begin(), m_items.end(), text,
                         [](const QString& t, const Item& item) { return tableNameLess(t, item.text); });
    const int index = static_cast<int>(at - m_items.begin());
    m_items.insert(at, Item{text});
    if (m_current >= index) ++m_current;
}

void SortedTableList::removeItem(int index) {
    if (!valid(index)) throw std::out_of_range("Invalid list index");
    m_items.erase(m_items.begin() + index);
    if (m_current == index) {
        m_current = -1;
    } else if (m_current > index) {
        --m_current;
    }
}

int SortedTableList::indexOf(const QString& text) const {
    for (int i = 0; i < count(); ++i) {
        if (m_items[i].text == text) return i;
    }
    return -1;
}

QStringList SortedTableList::items() const {
    QStringList texts;
    for (const Item& item : m_items) texts << item.text;
    return texts;
}

}  // namespace tw
