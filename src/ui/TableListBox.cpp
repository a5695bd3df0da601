#include "ui/TableListBox.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <stdexcept>

namespace tw {

namespace {

class TableNameItem : public QListWidgetItem {
public:
    // A long name shows whole as the item's tooltip.
    explicit TableNameItem(const QString& name) : QListWidgetItem(name) { setToolTip(name); }
    bool operator<(const QListWidgetItem& other) const override {
        return tableNameLess(text(), other.text());
    }
};

}  // namespace

bool tableNameMatches(const QString& name, const QString& filter) {
    return name.contains(filter, Qt::CaseInsensitive);
}

TableListBox::TableListBox(QWidget* parent) : QListWidget(parent) {
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setSortingEnabled(true);
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this](const QItemSelection& selected) {
                deselectHidden(selected);
                emit countsChanged();
            });
    connect(model(), &QAbstractItemModel::rowsInserted, this, &TableListBox::countsChanged);
    connect(model(), &QAbstractItemModel::rowsRemoved, this, &TableListBox::countsChanged);
    connect(model(), &QAbstractItemModel::modelReset, this, &TableListBox::countsChanged);
}

// The items go with QListWidget, after this part of the list is gone: no counts then.
TableListBox::~TableListBox() {
    disconnect(model(), nullptr, this, nullptr);
    disconnect(selectionModel(), nullptr, this, nullptr);
}

void TableListBox::setFilter(const QString& filter) {
    m_filter = filter;
    for (int i = 0; i < count(); ++i) applyFilter(i);
    emit countsChanged();
}

void TableListBox::applyFilter(int index) {
    QListWidgetItem* found = item(index);
    const bool hide = !tableNameMatches(found->text(), m_filter);
    if (hide) found->setSelected(false);
    setRowHidden(index, hide);
}

void TableListBox::deselectHidden(const QItemSelection& selected) {
    for (const QModelIndex& index : selected.indexes()) {
        if (isRowHidden(index.row())) selectionModel()->select(index, QItemSelectionModel::Deselect);
    }
}

int TableListBox::shownCount() const {
    int shown = 0;
    for (int i = 0; i < count(); ++i) shown += !isRowHidden(i);
    return shown;
}

QString TableListBox::countsText() const {
    const int total = count();
    return QStringLiteral("%1 of %2 %3 shown, %4 selected")
        .arg(shownCount())
        .arg(total)
        .arg(total == 1 ? QStringLiteral("table") : QStringLiteral("tables"))
        .arg(selectedCount());
}

TableListBox::Choice TableListBox::choice() const {
    Choice chosen;
    for (int i = 0; i < count(); ++i) {
        if (isSelected(i)) chosen.selected << text(i);
    }
    chosen.current = text(currentIndex());
    return chosen;
}

void TableListBox::choose(const Choice& choice) {
    for (int i = 0; i < count(); ++i) {
        if (choice.selected.contains(text(i))) setSelected(i, isShown(i));
        if (!choice.current.isEmpty() && text(i) == choice.current) setCurrentIndex(i);
    }
}

void TableListBox::makeSelectionCurrent() {
    const int current = currentRow();
    if (m_filter.isEmpty() || (current != -1 && isShown(current))) return;
    for (int i = 0; i < count(); ++i) {
        if (isShown(i) && isSelected(i)) return setCurrentIndex(i);
    }
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

// Letters and the like go to the filter; Space, the arrows and the shortcuts stay the list's.
void TableListBox::keyPressEvent(QKeyEvent* event) {
    const QString text = event->text();
    const bool plain = (event->modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier)) == Qt::NoModifier;
    if (plain && !text.isEmpty() && text.at(0).isPrint() && !text.at(0).isSpace()) {
        event->accept();
        emit typed(text);
        return;
    }
    QListWidget::keyPressEvent(event);
}

void TableListBox::addItem(const QString& text) {
    auto* added = new TableNameItem(text);
    QListWidget::addItem(added);  // sorting is on: it lands in its place
    applyFilter(row(added));
    emit countsChanged();  // the insertion said so before the filter had its say
}

void TableListBox::removeItem(int index) {
    at(index);
    delete takeItem(index);
}

}  // namespace tw
