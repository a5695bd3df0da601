#include "ui/ProgressBar.h"

#include <QMetaMethod>
#include <algorithm>
#include <chrono>
#include <cmath>

#include "ui/RowsProgressText.h"

namespace tw {

ProgressBar::ProgressBar(QWidget* parent) : QProgressBar(parent) {
    // Positions go from 0 to 100; the bar draws them in tenths of a percent, so that a long
    // copy moves it visibly many times a second. Finer steps would cost a text layout each.
    setRange(0, 100 * kSteps);
    setValue(0);
    setTextVisible(true);
    setAlignment(Qt::AlignCenter);
    // Filling its own background, the bar redraws alone, not the window behind it too.
    setAutoFillBackground(true);
    m_clock = [] {
        using namespace std::chrono;
        return static_cast<qint64>(
            duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
    };
    m_pendingDraw.setSingleShot(true);
    connect(&m_pendingDraw, &QTimer::timeout, this, &ProgressBar::draw);
}

void ProgressBar::setPosition(double position) {
    m_position = position;
    if (m_announcesPositions) emit positionChanged(position);  // a copy sets it every row
    const bool atAnEnd = !(position > 0.0 && position < 100.0);
    if (atAnEnd || !m_sinceDrawn.isValid() || m_sinceDrawn.elapsed() >= kRedrawIntervalMs) {
        draw();
    } else if (!m_pendingDraw.isActive()) {
        m_pendingDraw.start(static_cast<int>(kRedrawIntervalMs - m_sinceDrawn.elapsed()));
    }
}

void ProgressBar::connectNotify(const QMetaMethod& signal) {
    if (signal == QMetaMethod::fromSignal(&ProgressBar::positionChanged)) m_announcesPositions = true;
}

// The drawn bar shows tenths of a percent; the exact position stays readable.
void ProgressBar::draw() {
    m_pendingDraw.stop();
    const double shown = std::isfinite(m_position) ? std::clamp(m_position, 0.0, 100.0) : 0.0;
    setValue(static_cast<int>(shown * kSteps));
    if (m_showsRows) {
        const qint64 elapsed = m_clock() - m_rateSinceMs;
        const double rate = elapsed >= kRateAfterMs ? static_cast<double>(m_rowsDone - m_rateSinceRows) *
                                                          1000.0 / static_cast<double>(elapsed)
                                                    : 0.0;
        m_text = rowsProgressText(m_rowsTable, m_rowsDone, m_rowsTotal, rate);
    }
    update();  // the bar's own rule waits for a whole chunk; a moving copy should show it
    m_sinceDrawn.start();
}

void ProgressBar::setText(const QString& text) {
    m_showsRows = false;
    m_text = text;
    update();
}

void ProgressBar::showRows(const QString& table, qint64 rowsDone, qint64 rowsTotal) {
    if (!m_showsRows || table != m_rowsTable || rowsDone < m_rowsDone) {  // a table begins
        m_rateSinceMs = m_clock();
        m_rateSinceRows = rowsDone;
    }
    m_showsRows = true;
    m_rowsTable = table;
    m_rowsDone = rowsDone;
    m_rowsTotal = rowsTotal;
}

}  // namespace tw
