#pragma once

#include <QListWidget>

#include "shell/TableList.h"

namespace tw {

// A table list on screen: sorted, with extended multiple selection (click, Shift+click,
// Ctrl+click) and a current item that the program can set without selecting it.
//
// A filter shows only the names that hold its text, in any case. The list keeps every item
// (count, text and the rest of TableList see them all), but a hidden item is never selected:
// the filter deselects what it hides, and a selection that reaches a hidden item (Select All,
// Shift+click across it, the program) leaves it out. So a delete or a send, which take the
// selected items, never touch a table the user cannot see.
class TableListBox : public QListWidget, public TableList {
    Q_OBJECT
public:
    explicit TableListBox(QWidget* parent = nullptr);
    ~TableListBox() override;

    void setFilter(const QString& filter);
    QString filter() const { return m_filter; }
    bool isShown(int index) const { return !isRowHidden(index); }
    int shownCount() const;
    // "12 of 38 tables shown, 3 selected"
    QString countsText() const;

    // The selected names and the current one, to be chosen again once the list is filled anew.
    struct Choice {
        QStringList selected;
        QString current;
    };
    Choice choice() const;
    // Selects the chosen names the list has and shows, and makes the current one current again;
    // where the list no longer has it, the current item stays as it is.
    void choose(const Choice& choice);

    // A filtered list is picked from as it shows, often with Select All and no click on an item:
    // where no item is current, or a hidden one is, the first shown selected item becomes
    // current, so that a send, a delete or a rename takes the selection the user sees.
    void makeSelectionCurrent();

    int count() const override { return QListWidget::count(); }
    QString text(int index) const override;
    bool isSelected(int index) const override;
    void setSelected(int index, bool selected) override;
    int selectedCount() const override;
    int currentIndex() const override { return currentRow(); }
    void setCurrentIndex(int index) override;
    void clear() override { QListWidget::clear(); }
    void addItem(const QString& text) override;
    void removeItem(int index) override;

signals:
    // Items came or went, the filter changed, or the selection did: the counts may differ.
    void countsChanged();
    // Text typed into the list, which goes to its filter rather than to a search of its own.
    void typed(const QString& text);

protected:
    void focusInEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QListWidgetItem* at(int index) const;
    void applyFilter(int index);
    void deselectHidden(const QItemSelection& selected);

    QString m_filter;
};

// Whether a table name holds the filter's text, in any case; every name holds the empty filter.
bool tableNameMatches(const QString& name, const QString& filter);

}  // namespace tw
