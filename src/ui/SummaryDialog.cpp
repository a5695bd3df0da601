#include "ui/SummaryDialog.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTableWidget>
#include <QVBoxLayout>

#include "shell/GroupedCount.h"

namespace tw {

namespace {

QTableWidgetItem* cell(const QString& text, Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter) {
    auto* item = new QTableWidgetItem(text);
    item->setTextAlignment(alignment);
    item->setToolTip(text);  // a long name or reason shows whole
    return item;
}

QTableWidget* tablesView(const TransferSummary& summary, QWidget* parent) {
    const QStringList headers = {QStringLiteral("Table"),  QStringLiteral("What happened"),
                                 QStringLiteral("Read"),   QStringLiteral("Written"),
                                 QStringLiteral("Failed"), QStringLiteral("Time")};
    auto* view =
        new QTableWidget(static_cast<int>(summary.tables.size()), static_cast<int>(headers.size()), parent);
    view->setObjectName(QStringLiteral("SummaryTables"));
    view->setHorizontalHeaderLabels(headers);
    view->verticalHeader()->hide();
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    const Qt::Alignment number = Qt::AlignRight | Qt::AlignVCenter;
    for (int row = 0; row < view->rowCount(); ++row) {
        const TransferSummary::Table& table = summary.tables[row];
        view->setItem(row, 0, cell(table.name));
        view->setItem(row, 1, cell(table.result));
        view->setItem(row, 2, cell(groupedCount(table.rowsRead), number));
        view->setItem(row, 3, cell(groupedCount(table.rowsWritten), number));
        view->setItem(row, 4, cell(groupedCount(table.rowsFailed), number));
        view->setItem(row, 5, cell(shownDuration(table.seconds), number));
    }
    view->resizeColumnsToContents();
    view->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch);
    return view;
}

}  // namespace

SummaryDialog::SummaryDialog(const TransferSummary& summary, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TransferSummary"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(summary.heading(), this));
    layout->addWidget(tablesView(summary, this), 2);
    if (!summary.unboxedRows.isEmpty()) {
        layout->addWidget(new QLabel(QStringLiteral("Rows refused without a box:"), this));
        QStringList lines;
        for (const TransferSummary::UnboxedRow& row : summary.unboxedRows) lines << row.line();
        auto* rows = new QPlainTextEdit(lines.join(QLatin1Char('\n')), this);
        rows->setReadOnly(true);
        rows->setLineWrapMode(QPlainTextEdit::NoWrap);
        layout->addWidget(rows, 1);
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addWidget(buttons);
    resize(640, 360);
}

}  // namespace tw
