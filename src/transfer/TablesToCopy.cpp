#include "transfer/TablesToCopy.h"

#include "shell/ListHelpers.h"
#include "shell/TableList.h"

namespace tw {

SourceTables SourceTables::of(const TableList& list) {
    SourceTables tables;
    for (int i = 0; i < list.count(); ++i) {
        tables.names << list.text(i);
        tables.selected << list.isSelected(i);
    }
    tables.noneCurrent = list.currentIndex() == -1;
    return tables;
}

TargetTables::TargetTables(TableList& shown) : m_shown(shown) {
    for (int i = 0; i < shown.count(); ++i) m_names.addItem(shown.text(i));
}

bool TargetTables::has(const QString& name, bool ignoringCase) const {
    const std::lock_guard<std::mutex> lock(m_lock);
    return ignoringCase ? ListHasItemNoCase(m_names, name) : ListHasItem(m_names, name);
}

QString TargetTables::listedName(const QString& name) const {
    const std::lock_guard<std::mutex> lock(m_lock);
    return ListedNameNoCase(m_names, name);
}

void TargetTables::add(const QString& name) {
    const std::lock_guard<std::mutex> lock(m_lock);
    m_names.addItem(name);
    m_shown.addItem(name);
}

void TargetTables::remove(const QString& name) {
    const std::lock_guard<std::mutex> lock(m_lock);
    ListRemoveItem(m_names, name);
    ListRemoveItem(m_shown, name);
}

}  // namespace tw
