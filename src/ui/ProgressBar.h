#pragma once

#include <QElapsedTimer>
#include <QProgressBar>
#include <QTimer>
#include <functional>

namespace tw {

// A bar from 0 to 100 that takes fractional positions and shows a text of its own. A copy moves
// it before every row; it redraws at most every few hundredths of a second and catches up with
// the last position shortly after, so that drawing never slows a copy down.
class ProgressBar : public QProgressBar {
    Q_OBJECT
public:
    inline static const QString kDesignText = QStringLiteral("Progress Bar");

    explicit ProgressBar(QWidget* parent = nullptr);

    double position() const { return m_position; }
    void setPosition(double position);

    QString text() const override { return m_text; }
    void setText(const QString& text);
    // While a copy runs: the bar's text says "EMP  41,000 / 100,000", and after a second of the
    // table its rate and time left, composed only when the bar is drawn. Setting a text ends it.
    void showRows(const QString& table, qint64 rowsDone, qint64 rowsTotal);
    // The clock the rate is measured with, in milliseconds; a steady clock unless given.
    void setClock(std::function<qint64()> milliseconds) { m_clock = std::move(milliseconds); }

signals:
    void positionChanged(double position);

protected:
    void connectNotify(const QMetaMethod& signal) override;

private:
    static constexpr int kSteps = 10;
    static constexpr int kRedrawIntervalMs = 60;
    static constexpr qint64 kRateAfterMs = 1000;  // a rate over less time says little

    void draw();

    double m_position = 0.0;
    QString m_text = kDesignText;
    bool m_showsRows = false;
    QString m_rowsTable;
    qint64 m_rowsDone = 0;
    qint64 m_rowsTotal = 0;
    std::function<qint64()> m_clock;
    qint64 m_rateSinceMs = 0;  // when the table's rows began to be counted, and how many were done
    qint64 m_rateSinceRows = 0;
    bool m_announcesPositions = false;  // someone listens to positionChanged
    QElapsedTimer m_sinceDrawn;
    QTimer m_pendingDraw;
};

}  // namespace tw
