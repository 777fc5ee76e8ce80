// SPDX-License-Identifier: GPL-3.0-or-later
#include "gauges/angular_gauge.h"
#include "gauges/gauge_animation.h"
#include "gauges/linear_gauge.h"
#include "gauges/packed_color.h"
#include "support/link_fixture.h"

#include <QRandomGenerator>
#include <QtTest>

namespace {

// The animation on its own gauges; only the test steps it.
struct Animated {
    LinearGauge bars;
    AngularGauge dial;
    GaugeAnimation animation{bars, dial};

    void aim(Figure figure, int value)
    {
        FigureValues targets = animation.targets();
        targets.set(figure, int16_t(value));
        animation.setTargets(targets);
    }
    void step(int steps = 1)
    {
        for (int i = 0; i < steps; ++i)
            animation.step();
    }
    double bar(int index) const { return bars.pointerValueAt(index); }
};

struct Shown {
    double needle;
    std::array<double, LinearGauge::pointerCount> bars;
    std::array<uint32_t, LinearGauge::pointerCount> colours;
    bool operator==(const Shown &) const = default;
};

Shown shown(const Animated &a)
{
    Shown s{a.dial.needleValue(), {}, {}};
    for (int i = 0; i < LinearGauge::pointerCount; ++i) {
        s.bars[i] = a.bars.pointerValueAt(i);
        s.colours[i] = a.bars.pointerColorAt(i);
    }
    return s;
}

// A streamed record with the given engine speed; the rest as in the
// recording tests (18 advance steps, 14 V, 45 C, 200, 100).
QByteArray telemetryAt(int rpm)
{
    return "=" + QByteArray::number(rpm, 16).toUpper().rightJustified(4, '0')
           + "120000962DC864\r";
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
    void linkAimsTheGauges();
    void propDialHidesWhileEngineRuns_data();
    void propDialHidesWhileEngineRuns();
    void settledBarsDoNotRepaint();
    void partialRepaintsLeaveNoTrails();
    void restEndsOnAChangedTarget_data();
    void restEndsOnAChangedTarget();
    void restingSkipsOnlyStepsThatChangeNothing();
    void resetStopsTheAnimation();
};

void TestGaugeAnimation::rpmClosesATenthOfTheGap()
{
    Animated a;
    a.aim(Figure::Rpm, 2500);
    const QList<double> expected{250, 475, 677, 859, 1023};
    for (double value : expected) {
        a.step();
        QCOMPARE(a.bar(0), value);
    }
}

void TestGaugeAnimation::rpmCreepsInsideTwentyFive()
{
    Animated a;
    a.bars.selectPointer(0);
    a.bars.setSelectedValue(976);
    a.aim(Figure::Rpm, 1000);
    a.step();
    QCOMPARE(a.bar(0), 977.0);
    a.step(30);
    QCOMPARE(a.bar(0), 1000.0);
}

void TestGaugeAnimation::rpmMovesDown()
{
    Animated a;
    a.bars.selectPointer(0);
    a.bars.setSelectedValue(3000);
    a.step();
    QCOMPARE(a.bar(0), 2700.0);
}

void TestGaugeAnimation::propDialSweepsThenJumps()
{
    Animated a;
    a.aim(Figure::Propeller, 50);
    a.step();
    QCOMPARE(a.dial.needleValue(), 1.0);
    a.aim(Figure::Propeller, 200);
    a.step(); // 2 degrees now, 198 away: one step, then the jump
    QCOMPARE(a.dial.needleValue(), 200.0);
    a.aim(Figure::Propeller, 110);
    a.step(); // 89 away after the step: no jump
    QCOMPARE(a.dial.needleValue(), 199.0);
}

void TestGaugeAnimation::smallBarsStep()
{
    Animated a;
    a.aim(Figure::Pair12, 16);
    a.aim(Figure::Pair34, 32);
    a.step(20);
    QCOMPARE(a.bar(3), 16.0);
    QCOMPARE(a.bar(4), 20.0);
}

// The advance bar starts at 0, below its scale: the steps read back what
// they wrote, not a value pinned to the scale.
void TestGaugeAnimation::voltsAndAdvanceSettleNearTarget()
{
    Animated a;
    a.aim(Figure::Volts, 12);
    a.aim(Figure::Advance, 42);
    a.step();
    QCOMPARE(a.bar(2), 0.1);
    QCOMPARE(a.bar(1), 0.1);
    for (int i = 0; i < 600; ++i) {
        a.step();
        if (i > 450) {
            QVERIFY(qAbs(a.bar(2) - 12) <= 0.1 + 1e-9);
            QVERIFY(qAbs(a.bar(1) - 42) <= 0.1 + 1e-9);
        }
    }
}

// Each row: the value stepped before (setting the colour), then the value
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
    Animated a;
    const Figure target = pointerIndex == 0   ? Figure::Rpm
                          : pointerIndex == 1 ? Figure::Advance
                                              : Figure::Volts;
    a.aim(target, before);
    a.step();
    a.aim(target, value);
    a.step();
    QTEST(uint(a.bars.pointerColorAt(pointerIndex)), "expected");
}

// Telemetry and the "p" reply set where every needle and bar is headed.
void TestGaugeAnimation::linkAimsTheGauges()
{
    WindowFixture f;
    f.connect();
    f.receive(telemetryAt(2640));
    f.receive("p40\r");
    const FigureValues expected{{Figure::Rpm, 2640},  {Figure::Advance, 25}, {Figure::Volts, 14},
                                {Figure::Pair12, 200}, {Figure::Pair34, 100}, {Figure::Propeller, 89}};
    QCOMPARE(f.window.gaugeAnimation().targets(), expected);
}

// The engine counts as running once a line with 50 rpm or more arrives while
// the stream is on: the propeller dial gives way to the bars and the poll
// cycle asks nothing. No gauge step is needed.
void TestGaugeAnimation::propDialHidesWhileEngineRuns_data()
{
    QTest::addColumn<bool>("readOut"); // the read-out over, the stream asked for
    QTest::addColumn<QByteArrayList>("lines");
    QTest::addColumn<bool>("running");

    QTest::newRow("streaming, 49 rpm") << true << QByteArrayList{telemetryAt(49)} << false;
    QTest::newRow("streaming, 50 rpm") << true << QByteArrayList{telemetryAt(50)} << true;
    QTest::newRow("50 then 49 rpm")
        << true << QByteArrayList{telemetryAt(50), telemetryAt(49)} << false;
    QTest::newRow("streaming, x reply 50 rpm") << true << QByteArrayList{"x0032\r"} << true;
    QTest::newRow("stream turned off") << true << QByteArrayList{telemetryAt(3000), "/I0\r"}
                                       << false;
    QTest::newRow("read-out, x reply 3000 rpm") << false << QByteArrayList{"x0BB8\r"} << false;
    QTest::newRow("unit streams unasked") << false << QByteArrayList{telemetryAt(3000)} << true;
}

void TestGaugeAnimation::propDialHidesWhileEngineRuns()
{
    QFETCH(bool, readOut);
    QFETCH(QByteArrayList, lines);
    QFETCH(bool, running);
    WindowFixture f;
    QSignalSpy changes(&f.link, &UnitLink::engineRunningChanged);
    f.connect();
    if (readOut)
        f.readOut();
    for (const QByteArray &line : lines)
        f.receive(line);
    QCOMPARE(f.window.propellerDial->isHidden(), running);
    QCOMPARE(f.link.state().engineRunning, running);
    if (!changes.isEmpty())
        QCOMPARE(changes.last().first().toBool(), running);
    f.drainQueue();
    f.link.pollNext();
    QCOMPARE(f.link.queued().isEmpty(), running);
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

// Shown, with the animation stopped so that only the test steps it.
bool showOnScreen(WindowFixture &f)
{
    f.window.gaugeAnimation().stop();
    f.window.show();
    return QTest::qWaitForWindowExposed(&f.window);
}

void aim(WindowFixture &f, Figure figure, int value)
{
    FigureValues targets = f.window.gaugeAnimation().targets();
    targets.set(figure, int16_t(value));
    f.window.gaugeAnimation().setTargets(targets);
}

// Animation steps, each followed by whatever repaint it asked for.
void stepAndPaint(WindowFixture &f, int steps = 1)
{
    for (int i = 0; i < steps; ++i) {
        f.window.gaugeAnimation().step();
        QCoreApplication::processEvents();
    }
}

} // namespace

// The volts and advance bars step back and forth around a whole-number target
// for ever; that must not cost a repaint every 10 ms. Nor must the propeller
// needle turning over them.
void TestGaugeAnimation::settledBarsDoNotRepaint()
{
    WindowFixture f;
    QVERIFY(showOnScreen(f));
    aim(f, Figure::Volts, 12);
    aim(f, Figure::Advance, 30);
    aim(f, Figure::Rpm, 1500);
    for (int i = 0; i < 400; ++i)
        f.window.gaugeAnimation().step();
    QCoreApplication::processEvents();

    PaintCounter counter;
    f.window.engineBars->installEventFilter(&counter);
    stepAndPaint(f, 50);
    QCOMPARE(counter.paints, 0);
    aim(f, Figure::Propeller, 40);
    stepAndPaint(f, 40);
    QCOMPARE(f.window.propellerDial->needleValue(), 40.0);
    QCOMPARE(counter.paints, 0);

    aim(f, Figure::Pair12, 50);
    stepAndPaint(f);
    QVERIFY(counter.paints > 0);
}

// The dial repaints only around its needle and the bars only when they move;
// what reaches the screen must still equal a full redraw.
void TestGaugeAnimation::partialRepaintsLeaveNoTrails()
{
    WindowFixture f;
    QVERIFY(showOnScreen(f));
    aim(f, Figure::Rpm, 2000);
    aim(f, Figure::Volts, 13);
    for (int target : {80, 75, 170, 60}) {
        aim(f, Figure::Propeller, target);
        stepAndPaint(f, 120);
    }
    const QImage onScreen = f.window.screen()->grabWindow(f.window.winId()).toImage();
    const QImage redrawn = f.window.grab().toImage();
    QCOMPARE(onScreen.convertToFormat(QImage::Format_RGB32),
             redrawn.convertToFormat(QImage::Format_RGB32));
}

void TestGaugeAnimation::restEndsOnAChangedTarget_data()
{
    QTest::addColumn<Figure>("figure");
    QTest::addColumn<int>("value");
    QTest::newRow("rpm") << Figure::Rpm << 1;
    QTest::newRow("advance") << Figure::Advance << 1;
    QTest::newRow("volts") << Figure::Volts << 1;
    QTest::newRow("1&2") << Figure::Pair12 << 1;
    QTest::newRow("3&4") << Figure::Pair34 << 1;
    QTest::newRow("propeller") << Figure::Propeller << 359;
}

// A step that changes nothing starts a rest; the same targets again leave
// it resting, and any one changed target ends it.
void TestGaugeAnimation::restEndsOnAChangedTarget()
{
    QFETCH(Figure, figure);
    QFETCH(int, value);
    Animated a;
    QVERIFY(!a.animation.resting());
    a.step(2);
    QVERIFY(a.animation.resting());
    QVERIFY(a.animation.isRunning()); // a slow step still comes, as a backstop
    a.animation.setTargets(FigureValues{});
    QVERIFY(a.animation.resting());

    const Shown before = shown(a);
    a.aim(figure, value);
    QVERIFY(!a.animation.resting());
    a.step();
    QVERIFY(shown(a) != before);
    QVERIFY(!a.animation.resting());
}

// Against an animation stepped every time, driven by the same changing
// targets: one that skips its steps while resting must never fall behind by
// a single step.
void TestGaugeAnimation::restingSkipsOnlyStepsThatChangeNothing()
{
    Animated resting;
    Animated reference;
    QRandomGenerator random(7);
    int skipped = 0;
    for (int step = 0; step < 20000; ++step) {
        // One target at a time, so that each one alone must end a rest.
        if (random.bounded(300) == 0) {
            const auto set = [&](Figure figure, int value) {
                resting.aim(figure, value);
                reference.aim(figure, value);
            };
            switch (random.bounded(6)) {
            case 0: set(Figure::Rpm, random.bounded(2) ? 0 : random.bounded(4000)); break;
            case 1: set(Figure::Volts, random.bounded(-1, 25)); break;
            case 2: set(Figure::Advance, random.bounded(60)); break;
            case 3: set(Figure::Pair12, random.bounded(256)); break;
            case 4: set(Figure::Pair34, random.bounded(256)); break;
            default: set(Figure::Propeller, random.bounded(360)); break;
            }
        }
        if (resting.animation.resting())
            ++skipped;
        else
            resting.step();
        reference.step();
        QVERIFY2(shown(resting) == shown(reference), qPrintable(QString::number(step)));
    }
    QVERIFY(skipped > 10000);
}

// RESET stops the animation and new targets do not start it; the next
// connection does, stepping at once.
void TestGaugeAnimation::resetStopsTheAnimation()
{
    WindowFixture f;
    GaugeAnimation &animation = f.window.gaugeAnimation();
    f.connect();
    f.window.reset();
    QVERIFY(!animation.isRunning());
    f.receive(telemetryAt(1500));
    QCOMPARE(animation.targets()[Figure::Rpm], int16_t(1500));
    QVERIFY(!animation.isRunning());

    f.connect();
    QVERIFY(animation.isRunning());
    QVERIFY(!animation.resting());
}

QTEST_MAIN(TestGaugeAnimation)
#include "test_gauge_animation.moc"
