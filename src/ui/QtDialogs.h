#pragma once

#include "shell/Dialogs.h"

class QWidget;

namespace tw {

// The boxes as the user sees them: QMessageBox and QInputDialog, modal.
class QtDialogs : public Dialogs {
public:
    int msgBox(const QString& text, int style, const QString& caption) override;
    QString inputBox(const QString& prompt, const QString& title,
                     const QString& defaultText) override;
};

}  // namespace tw
