#include <QSignalSpy>
#include <QtTest>

#include "shell/EventPump.h"
#include "ui/ProgressBar.h"
#include "ui/PushButton.h"

using namespace tw;

class ControlsTest : public QObject {
    Q_OBJECT
private slots:
    void progressBarKeepsFractionsAndShowsItsOwnText();
    void pushButtonReportsMovesWithoutPassingThemOn();
    void eventPumpLetsEventsThroughNowAndThen();
};

// On a clock of the test's own, so that every check holds on a slow machine as on a fast one.
void ControlsTest::eventPumpLetsEventsThroughNowAndThen() {
    qint64 now = 1000;
    EventPump pump([&] { return now; });
    int handled = 0;
    const auto post = [&] { QTimer::singleShot(0, [&] { ++handled; }); };
    post();
    pump();  // the first call always lets events through
    QCOMPARE(handled, 1);

    // The calls that follow pass nothing through until the one that reads the clock...
    post();
    now += EventPump::kMinimumIntervalMs;
    for (int call = 1; call < EventPump::kCallsPerClockReading; ++call) pump();
    QCOMPARE(handled, 1);
    pump();  // ...which does, the interval being over
    QCOMPARE(handled, 2);

    // Within the interval even the call that reads the clock lets nothing through.
    post();
    now += EventPump::kMinimumIntervalMs - 1;
    for (int call = 0; call < EventPump::kCallsPerClockReading; ++call) pump();
    QCOMPARE(handled, 2);
    now += 1;
    for (int call = 0; call < EventPump::kCallsPerClockReading; ++call) pump();
    QCOMPARE(handled, 3);
}

void ControlsTest::progressBarKeepsFractionsAndShowsItsOwnText() {
    ProgressBar bar;
    QCOMPARE(bar.text(), QStringLiteral("Progress Bar"));
    QCOMPARE(bar.position(), 0.0);

    // The bar is drawn at the share of its full width that the position gives.
    const auto drawnShare = [&] {
        return double(bar.value() - bar.minimum()) / (bar.maximum() - bar.minimum());
    };
    bar.setPosition(100.0 / 3.0);
    QCOMPARE(bar.position(), 100.0 / 3.0);
    QVERIFY(qAbs(drawnShare() - 1.0 / 3.0) < 0.001);  // drawn in tenths of a percent
    bar.setPosition(250.0);                           // drawn full, kept as given
    QCOMPARE(bar.position(), 250.0);
    QCOMPARE(drawnShare(), 1.0);
    bar.setPosition(-1.0);
    QCOMPARE(drawnShare(), 0.0);

    // Positions that come thick and fast are drawn a little later, the last one last.
    bar.setPosition(10.0);
    bar.setPosition(20.0);
    bar.setPosition(30.0);
    QCOMPARE(bar.position(), 30.0);
    QTRY_VERIFY(qAbs(drawnShare() - 0.3) < 0.001);

    // The text is shown as given: no percent placeholders are filled in.
    bar.setText(QStringLiteral("Copying %p of 100%"));
    QCOMPARE(bar.text(), QStringLiteral("Copying %p of 100%"));
    bar.setText(ProgressBar::kDesignText);
    QCOMPARE(bar.text(), QStringLiteral("Progress Bar"));
}

void ControlsTest::pushButtonReportsMovesWithoutPassingThemOn() {
    QWidget frame;
    frame.setMouseTracking(true);
    int frameMoves = 0;
    struct Counter : QObject {
        int* count;
        bool eventFilter(QObject*, QEvent* e) override {
            if (e->type() == QEvent::MouseMove) ++*count;
            return false;
        }
    } counter;
    counter.count = &frameMoves;
    frame.installEventFilter(&counter);

    PushButton button(QStringLiteral("Next >"), &frame);
    QCOMPARE(button.font().pointSizeF(), 11.25);
    QVERIFY(button.font().bold());
    QSignalSpy moves(&button, &PushButton::mouseMove);
    QMouseEvent move(QEvent::MouseMove, QPointF(5, 6), QPointF(5, 6), Qt::NoButton, Qt::NoButton,
                     Qt::ShiftModifier);
    QApplication::sendEvent(&button, &move);

    QCOMPARE(moves.size(), 1);
    QCOMPARE(moves[0][2].toInt(), 5);
    QCOMPARE(moves[0][3].toInt(), 6);
    QCOMPARE(frameMoves, 0);
}

QTEST_MAIN(ControlsTest)
#include "ControlsTest.moc"
