#pragma once

#include <QProgressBar>

namespace tw {

// A bar from 0 to 100 that takes fractional positions and shows a text of its own.
class ProgressBar : public QProgressBar {
    Q_OBJECT
public:
    inline static const QString kDesignText = QStringLiteral("Progress Bar");

    explicit ProgressBar(QWidget* parent = nullptr);

    double position() const { return m_position; }
    void setPosition(double position);

    QString text() const override { return m_text; }
    void setText(const QString& text);

signals:
    void positionChanged(double position);

private:
    static constexpr int kSteps = 10;
    double m_position = 0.0;
    QString m_text = kDesignText;
};

}  // namespace tw
