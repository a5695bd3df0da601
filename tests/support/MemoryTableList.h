#pragma once

#include <QSet>
#include <QStringList>
#include <stdexcept>

#include "shell/TableList.h"

namespace tw::test {

// A table list without a window, holding its items in the order given; for the helpers that
// do not care about the on-screen order.
class MemoryTableList : public TableList {
public:
    explicit MemoryTableList(QStringList items = {}) : m_items(std::move(items)) {}

    int count() const override { return static_cast<int>(m_items.size()); }
    QString text(int index) const override { return m_items.value(index); }
    bool isSelected(int index) const override { return m_selected.contains(check(index)); }
    void setSelected(int index, bool selected) override {
        if (selected) {
            m_selected.insert(check(index));
        } else {
            m_selected.remove(check(index));
        }
    }
    int selectedCount() const override { return static_cast<int>(m_selected.size()); }
    int currentIndex() const override { return m_current; }
    void setCurrentIndex(int index) override { m_current = index; }
    void clear() override {
        m_items.clear();
        m_selected.clear();
        m_current = -1;
    }
    void addItem(const QString& text) override { m_items << text; }
    void removeItem(int index) override {
        m_items.removeAt(check(index));
        m_selected.clear();
    }
    const QStringList& items() const { return m_items; }

private:
    int check(int index) const {
        if (index < 0 || index >= count()) throw std::out_of_range("no such item");
        return index;
    }

    QStringList m_items;
    QSet<int> m_selected;
    int m_current = -1;
};

}  // namespace tw::test
