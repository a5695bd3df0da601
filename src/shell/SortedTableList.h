#pragma once

#include <QString>
#include <QStringList>
#include <vector>

#include "shell/TableList.h"

namespace tw {

// A table list without a window, in the order the windows' lists keep: what the command line
// fills and selects from.
class SortedTableList : public TableList {
public:
    int count() const override { return static_cast<int>(m_items.size()); }
    QString text(int index) const override;
    bool isSelected(int index) const override;
    void setSelected(int index, bool selected) override;
    int selectedCount() const override;
    int currentIndex() const override { return m_current; }
    void setCurrentIndex(int index) override { m_current = index; }
    void clear() override;
    void addItem(const QString& text) override;
    void removeItem(int index) override;

    // The index of the item with exactly this text, or -1.
    int indexOf(const QString& text) const;
    QStringList items() const;

private:
    struct Item {
        QString text;
        bool selected = false;
    };
    bool valid(int index) const { return index >= 0 && index < count(); }

    std::vector<Item> m_items;
    int m_current = -1;
};

}  // namespace tw
