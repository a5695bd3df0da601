#include "ui/ProgressBar.h"

#include <algorithm>
#include <cmath>

namespace tw {

ProgressBar::ProgressBar(QWidget* parent) : QProgressBar(parent) {
    // Positions go from 0 to 100; the bar draws them in tenths of a percent, so that a long
    // copy moves it visibly many times a second. Finer steps would cost a text layout each.
    setRange(0, 100 * kSteps);
    setValue(0);
    setTextVisible(true);
    setAlignment(Qt::AlignCenter);
}

void ProgressBar::setPosition(double position) {
    m_position = position;
    // The drawn bar only needs whole percents; the exact position stays readable.
    const double shown = std::isfinite(position) ? std::clamp(position, 0.0, 100.0) : 0.0;
    setValue(static_cast<int>(shown * kSteps));
    emit positionChanged(position);
}

void ProgressBar::setText(const QString& text) {
    m_text = text;
    update();
}

}  // namespace tw
