#pragma once

#include <QListWidget>

#include "shell/TableList.h"

namespace tw {

// A table list on screen: sorted, with extended multiple selection (click, Shift+click,
// Ctrl+click) and a current item that the program can set without selecting it.
class TableListBox : public QListWidget, public TableList {
    Q_OBJECT
public:
    explicit TableListBox(QWidget* parent = nullptr);

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

protected:
    void focusInEvent(QFocusEvent* event) override;

private:
    QListWidgetItem* at(int index) const;
};

}  // namespace tw
