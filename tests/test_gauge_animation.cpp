#include "gauges/angular_gauge.h"
#include "gauges/animation_rest.h"
#include "gauges/linear_gauge.h"
#include "support/form_fixture.h"
#include "ui/packed_color.h"

#include <QRandomGenerator>
#include <QtTest>

namespace {

double pointer(DashForm &form, int index)
{
    return form.LGauge1->pointerValueAt(index);
}

uint32_t colour(DashForm &form, int index)
{
    return form.LGauge1->pointerColorAt(index);
}

} // namespace

class TestGaugeAnimation : public QObject {
    Q_OBJECT
private slots:
    void rpmClosesATenthOfTheGap();
    void rpmCreepsInsideTwentyFive();
    void rpmMovesDown();
    void propDialSweepsThenJumps();
    void smallBarsStep();
    void voltsAndAdvanceSettleNearTarget();
    void colourBands_data();
    void colourBands();
    void propDialHidesWhileEngineRuns();
    void propDialStaysWithoutLink();
    void settledBarsDoNotRepaint();
    void partialRepaintsLeaveNoTrails();
    void restingSkipsOnlyTicksThatChangeNothing();
    void restEndsOnAChangeOrAStop();
};

void TestGaugeAnimation::rpmClosesATenthOfTheGap()
{
    FormFixture f;
    f.form.engineRpm = 2500;
    const QList<double> expected{250, 475, 677, 859, 1023};
    for (double value : expected) {
        f.form.Timer2_Timer();
        QCOMPARE(pointer(f.form, 0), value);
    }
}

void TestGaugeAnimation::rpmCreepsInsideTwentyFive()
{
    FormFixture f;
    f.form.LGauge1->setPointer(0);
    f.form.LGauge1->setPointerValue(976);
    f.form.engineRpm = 1000;
    f.form.Timer2_Timer();
    QCOMPARE(pointer(f.form, 0), 977.0);
    for (int i = 0; i < 30; ++i)
        f.form.Timer2_Timer();
    QCOMPARE(pointer(f.form, 0), 1000.0);
}

void TestGaugeAnimation::rpmMovesDown()
{
    FormFixture f;
    f.form.LGauge1->setPointer(0);
    f.form.LGauge1->setPointerValue(3000);
    f.form.engineRpm = 0;
    f.form.Timer2_Timer();
    QCOMPARE(pointer(f.form, 0), 2700.0);
}

void TestGaugeAnimation::propDialSweepsThenJumps()
{
    FormFixture f;
    f.form.propAngle = 50;
    f.form.Timer2_Timer();
    QCOMPARE(f.form.AGauge2->NeedleValue(), 1.0);
    f.form.propAngle = 200;
    f.form.Timer2_Timer(); // 2 degrees now, 198 away: one step, then the jump
    QCOMPARE(f.form.AGauge2->NeedleValue(), 200.0);
    f.form.propAngle = 110;
    f.form.Timer2_Timer(); // 89 away after the step: no jump
    QCOMPARE(f.form.AGauge2->NeedleValue(), 199.0);
}

void TestGaugeAnimation::smallBarsStep()
{
    FormFixture f;
    f.form.pair12Value = 16;
    f.form.pair34Value = 32;
    for (int i = 0; i < 20; ++i)
        f.form.Timer2_Timer();
    QCOMPARE(pointer(f.form, 3), 16.0);
    QCOMPARE(pointer(f.form, 4), 20.0);
}

void TestGaugeAnimation::voltsAndAdvanceSettleNearTarget()
{
    FormFixture f;
    f.form.busVolts = 12;
    f.form.advanceDegrees = 42;
    f.form.Timer2_Timer();
    QCOMPARE(pointer(f.form, 2), 0.1);
    QCOMPARE(pointer(f.form, 1), 0.1);
    for (int i = 0; i < 600; ++i) {
        f.form.Timer2_Timer();
        if (i > 450) {
            QVERIFY(qAbs(pointer(f.form, 2) - 12) <= 0.1 + 1e-9);
            QVERIFY(qAbs(pointer(f.form, 1) - 42) <= 0.1 + 1e-9);
        }
    }
}

// Each row: the value ticked before (setting the colour), then the value
// under test, and the colour the bar must show after it.
void TestGaugeAnimation::colourBands_data()
{
    QTest::addColumn<int>("pointerIndex");
    QTest::addColumn<int>("before");
    QTest::addColumn<int>("value");
    QTest::addColumn<uint>("expected");

    const uint orange = PackedColor::orange, green = PackedColor::green, red = PackedColor::red;
    QTest::newRow("rpm 999 orange") << 0 << 3000 << 999 << orange;
    QTest::newRow("rpm 1002 green") << 0 << 0 << 1002 << green;
    QTest::newRow("rpm 2901 red") << 0 << 0 << 2901 << red;
    QTest::newRow("rpm 1000 keeps red") << 0 << 3000 << 1000 << red;
    QTest::newRow("rpm 1001 keeps orange") << 0 << 0 << 1001 << orange;
    QTest::newRow("rpm 2900 keeps green") << 0 << 2000 << 2900 << green;
    QTest::newRow("volts 7 orange") << 2 << 12 << 7 << orange;
    QTest::newRow("volts 10 green") << 2 << 0 << 10 << green;
    QTest::newRow("volts 16 red") << 2 << 0 << 16 << red;
    QTest::newRow("volts 8 keeps red") << 2 << 16 << 8 << red;
    QTest::newRow("volts 9 keeps orange") << 2 << 0 << 9 << orange;
    QTest::newRow("volts 15 keeps green") << 2 << 12 << 15 << green;
    QTest::newRow("adv 19 orange") << 1 << 30 << 19 << orange;
    QTest::newRow("adv 22 green") << 1 << 0 << 22 << green;
    QTest::newRow("adv 41 red") << 1 << 0 << 41 << red;
    QTest::newRow("adv 20 keeps red") << 1 << 41 << 20 << red;
    QTest::newRow("adv 21 keeps orange") << 1 << 0 << 21 << orange;
    QTest::newRow("adv 39 keeps green") << 1 << 30 << 39 << green;
    QTest::newRow("adv 40 keeps green") << 1 << 30 << 40 << green;
}

void TestGaugeAnimation::colourBands()
{
    QFETCH(int, pointerIndex);
    QFETCH(int, before);
    QFETCH(int, value);
    FormFixture f;
    int16_t *target = pointerIndex == 0   ? &f.form.engineRpm
                      : pointerIndex == 1 ? &f.form.advanceDegrees
                                          : &f.form.busVolts;
    *target = int16_t(before);
    f.form.Timer2_Timer();
    *target = int16_t(value);
    f.form.Timer2_Timer();
    QTEST(uint(colour(f.form, pointerIndex)), "expected");
}

void TestGaugeAnimation::propDialHidesWhileEngineRuns()
{
    FormFixture f;
    f.form.linkUp = true;
    f.form.engineRpm = 49;
    f.form.Timer2_Timer();
    QVERIFY(!f.form.AGauge2->isHidden());
    QVERIFY(!f.form.engineRunning);
    f.form.engineRpm = 50;
    f.form.Timer2_Timer();
    QVERIFY(f.form.AGauge2->isHidden());
    QVERIFY(f.form.engineRunning);
    f.form.engineRpm = 49;
    f.form.Timer2_Timer();
    QVERIFY(!f.form.AGauge2->isHidden());
    QVERIFY(!f.form.engineRunning);
}

void TestGaugeAnimation::propDialStaysWithoutLink()
{
    FormFixture f;
    f.form.engineRpm = 3000;
    for (int i = 0; i < 5; ++i)
        f.form.Timer2_Timer();
    QVERIFY(!f.form.AGauge2->isHidden());
    QVERIFY(!f.form.engineRunning);
}

namespace {

struct PaintCounter : QObject {
    int paints = 0;
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

// Shown, with the timers stopped so that only the test ticks.
bool showOnScreen(DashForm &form)
{
    form.Timer2->stop();
    form.Timer3->stop();
    form.show();
    return QTest::qWaitForWindowExposed(&form);
}

// One animation tick, then whatever repaint it asked for.
void tickAndPaint(DashForm &form, int ticks = 1)
{
    for (int i = 0; i < ticks; ++i) {
        form.Timer2_Timer();
        QCoreApplication::processEvents();
    }
}

} // namespace

// The volts and advance bars step back and forth around a whole-number target
// for ever; that must not cost a repaint every 10 ms. Nor must the propeller
// needle turning over them.
void TestGaugeAnimation::settledBarsDoNotRepaint()
{
    FormFixture f;
    QVERIFY(showOnScreen(f.form));
    f.form.busVolts = 12;
    f.form.advanceDegrees = 30;
    f.form.engineRpm = 1500;
    for (int i = 0; i < 400; ++i)
        f.form.Timer2_Timer();
    QCoreApplication::processEvents();

    PaintCounter counter;
    f.form.LGauge1->installEventFilter(&counter);
    tickAndPaint(f.form, 50);
    QCOMPARE(counter.paints, 0);
    f.form.propAngle = 40;
    tickAndPaint(f.form, 40);
    QCOMPARE(f.form.AGauge2->NeedleValue(), 40.0);
    QCOMPARE(counter.paints, 0);

    f.form.pair12Value = 50;
    tickAndPaint(f.form);
    QVERIFY(counter.paints > 0);
}

// The dial repaints only around its needle and the bars only when they move;
// what reaches the screen must still equal a full redraw.
void TestGaugeAnimation::partialRepaintsLeaveNoTrails()
{
    FormFixture f;
    QVERIFY(showOnScreen(f.form));
    f.form.engineRpm = 2000;
    f.form.busVolts = 13;
    for (int target : {80, 75, 170, 60}) {
        f.form.propAngle = int16_t(target);
        tickAndPaint(f.form, 120);
    }
    const QImage onScreen = f.form.screen()->grabWindow(f.form.winId()).toImage();
    const QImage redrawn = f.form.grab().toImage();
    QCOMPARE(onScreen.convertToFormat(QImage::Format_RGB32),
             redrawn.convertToFormat(QImage::Format_RGB32));
}

namespace {

struct Shown {
    double needle;
    std::array<double, LinearGauge::pointerCount> bars;
    std::array<uint32_t, LinearGauge::pointerCount> colours;
    bool running;
    bool operator==(const Shown &) const = default;
};

Shown shown(DashForm &form)
{
    Shown s{form.AGauge2->NeedleValue(), {}, {}, form.engineRunning};
    for (int i = 0; i < LinearGauge::pointerCount; ++i) {
        s.bars[i] = form.LGauge1->pointerValueAt(i);
        s.colours[i] = form.LGauge1->pointerColorAt(i);
    }
    return s;
}

} // namespace

// Against a timer that never rests, driven by the same changing values: a
// resting timer's gauges must never fall behind by a single step.
void TestGaugeAnimation::restingSkipsOnlyTicksThatChangeNothing()
{
    FormFixture resting;
    FormFixture reference;
    resting.form.linkUp = reference.form.linkUp = true;
    QRandomGenerator random(7);
    int skipped = 0;
    for (int step = 0; step < 20000; ++step) {
        // One value at a time, so that each one alone must end a rest.
        if (random.bounded(300) == 0) {
            const auto set = [&](int16_t FormState::*field, int value) {
                resting.form.*field = reference.form.*field = int16_t(value);
            };
            switch (random.bounded(6)) {
            case 0: set(&FormState::engineRpm, random.bounded(2) ? 0 : random.bounded(4000)); break;
            case 1: set(&FormState::busVolts, random.bounded(-1, 25)); break;
            case 2: set(&FormState::advanceDegrees, random.bounded(60)); break;
            case 3: set(&FormState::pair12Value, random.bounded(256)); break;
            case 4: set(&FormState::pair34Value, random.bounded(256)); break;
            default: set(&FormState::propAngle, random.bounded(360)); break;
            }
        }
        resting.form.animationRest->beforeSleep();
        if (resting.form.animationRest->resting())
            ++skipped;
        else
            resting.form.animationRest->tick();
        reference.form.Timer2_Timer();
        QVERIFY2(shown(resting.form) == shown(reference.form), qPrintable(QString::number(step)));
    }
    QVERIFY(skipped > 10000);
}

void TestGaugeAnimation::restEndsOnAChangeOrAStop()
{
    FormFixture f;
    AnimationRest &rest = *f.form.animationRest;
    rest.tick(); // sets the colours
    rest.tick();
    QVERIFY(rest.resting());
    QCOMPARE(f.form.Timer2->interval(), AnimationRest::restMs);
    QVERIFY(f.form.Timer2->isActive());

    f.form.propAngle = 3;
    rest.beforeSleep();
    QVERIFY(!rest.resting());
    QCOMPARE(f.form.Timer2->interval(), 10);
    for (int i = 0; i < 4; ++i)
        rest.tick();
    QCOMPARE(f.form.AGauge2->NeedleValue(), 3.0);
    QVERIFY(rest.resting());

    // RESET stops the timer; it must stay stopped, and start at 10 ms.
    f.form.Command5_Click();
    f.form.propAngle = 9;
    rest.beforeSleep();
    QVERIFY(!f.form.Timer2->isActive());
    QCOMPARE(f.form.Timer2->interval(), 10);
}

QTEST_MAIN(TestGaugeAnimation)
#include "test_gauge_animation.moc"
