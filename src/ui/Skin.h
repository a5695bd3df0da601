#pragma once

#include <QString>

class QWidget;

namespace tw {

// The skin engine: a skin file is a Qt style sheet that restyles a whole window.
class SkinFramework {
public:
    // Reads the skin; throws std::runtime_error when the file cannot be read.
    void loadSkin(const QString& path);
    void applyWindow(QWidget& window) const;
    bool isLoaded() const { return m_loaded; }

private:
    QString m_styleSheet;
    bool m_loaded = false;
};

// When the skin file lies in the program folder, paints the window in the button-face colour
// and applies the skin; otherwise the window keeps its design colours.
void ApplySkin(QWidget& window, SkinFramework& skin, const QString& programFolder);

}  // namespace tw
