#include "ui/TableListBox.h"

#include <QFocusEvent>
#include <stdexcept>

namespace tw {

namespace {

class TableNameItem : public QListWidgetItem {
public:
    explicit TableNameItem(const QString& name) : QListWidgetItem(name) {}
    bool operator<(const QListWidgetItem& other) const override {
        return tableNameLess(text(), other.text());
    }
};

}  // namespace

TableListBox::TableListBox(QWidget* parent) : QListWidget(parent) {
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setSortingEnabled(true);
}

QListWidgetItem* TableListBox::at(int index) const {
    QListWidgetItem* found = item(index);
    if (!found) throw std::out_of_range("Invalid procedure call or argument");
    return found;
}

QString TableListBox::text(int index) const {
    const QListWidgetItem* found = item(index);
    return found ? found->text() : QString();
}

bool TableListBox::isSelected(int index) const { return at(index)->isSelected(); }

void TableListBox::setSelected(int index, bool selected) { at(index)->setSelected(selected); }

int TableListBox::selectedCount() const { return static_cast<int>(selectedItems().size()); }

void TableListBox::setCurrentIndex(int index) {
    if (index < -1 || index >= count()) throw std::out_of_range("Invalid property value");
    setCurrentRow(index, QItemSelectionModel::NoUpdate);
}

// Qt makes the first item current when a list without one takes focus. Here the current item
// says which table the user picked, so focus alone (the window activated, or Tab) picks none;
// a click or the program does.
void TableListBox::focusInEvent(QFocusEvent* event) {
    const bool hadCurrent = currentRow() != -1;
    QListWidget::focusInEvent(event);
    if (!hadCurrent && currentRow() != -1 && event->reason() != Qt::MouseFocusReason) {
        setCurrentRow(-1, QItemSelectionModel::NoUpdate);
    }
}

void TableListBox::addItem(const QString& text) {
    QListWidget::addItem(new TableNameItem(text));  // sorting is on: it lands in its place
}

void TableListBox::removeItem(int index) {
    at(index);
    delete takeItem(index);
}

}  // namespace tw
