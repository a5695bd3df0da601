#include "ui/Skin.h"

#include <QFile>
#include <QFileInfo>
#include <QWidget>
#include <stdexcept>

#include "shell/ProgramFolder.h"
#include "ui/FormColours.h"

namespace tw {

void SkinFramework::loadSkin(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        throw std::runtime_error(
            QStringLiteral("Cannot read skin %1: %2").arg(path, file.errorString()).toStdString());
    }
    m_styleSheet = QString::fromUtf8(file.readAll());
    m_loaded = true;
}

void SkinFramework::applyWindow(QWidget& window) const {
    if (m_loaded) window.setStyleSheet(m_styleSheet);
}

void ApplySkin(QWidget& window, SkinFramework& skin, const QString& programFolder) {
    const QFileInfo skinFile(programFolder + kSkinFile);
    if (!skinFile.isFile() || skinFile.isHidden()) return;

    paintFormBackground(window, buttonFaceColour());
    skin.loadSkin(skinFile.filePath());
    skin.applyWindow(window);
}

}  // namespace tw
