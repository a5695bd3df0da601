#pragma once

#include <QDialog>

#include "ui/TransferSummary.h"

namespace tw {

// The box at the end of a transfer: a heading, one line a table with what happened to it, its
// rows and time, and the rows refused without a box; OK closes it. It can be made larger, for a
// day's work of many tables.
class SummaryDialog : public QDialog {
    Q_OBJECT
public:
    explicit SummaryDialog(const TransferSummary& summary, QWidget* parent = nullptr);
};

}  // namespace tw
