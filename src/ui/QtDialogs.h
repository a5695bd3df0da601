#pragma once

#include "ui/Dialogs.h"

class QWidget;

namespace tw {

// The boxes as the user sees them: QMessageBox and QInputDialog, modal.
class QtDialogs : public Dialogs {
protected:
    int showMessage(const QString& text, int style, const QString& caption) override;
    int showMessageOffering(const QString& text, int style, const QString& caption,
                            const QStringList& extraButtons) override;
    QString askText(const QString& prompt, const QString& title, const QString& defaultText) override;
    void showSummary(const TransferSummary& summary) override;
};

}  // namespace tw
