// Tests of the two gauge widgets: the read-back contract the window relies on,
// colour naming, dispatch properties, repaint economy and rendering at the
// window's real sizes (also with values far outside the scales).

#include "gauges/angular_gauge.h"
#include "gauges/linear_gauge.h"
#include "ui/packed_color.h"

#include <QDir>
#include <QFontDatabase>
#include <QImage>
#include <QPaintEvent>
#include <QSignalSpy>
#include <QtTest>

#include <atomic>
#include <bit>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <new>

// ---------------------------------------------------------------------------
// Heap allocation counter. Replacing the global operator new lets a test check
// that writing values allocates nothing. Sanitizer builds keep their own
// allocator and skip that test.
#if defined(__SANITIZE_ADDRESS__)
#define GAUGES_COUNT_ALLOCATIONS 0
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define GAUGES_COUNT_ALLOCATIONS 0
#endif
#endif
#ifndef GAUGES_COUNT_ALLOCATIONS
#define GAUGES_COUNT_ALLOCATIONS 1
#endif

namespace {
std::atomic<long long> allocationCount{0};
}

#if GAUGES_COUNT_ALLOCATIONS
void *operator new(std::size_t size)
{
    allocationCount.fetch_add(1, std::memory_order_relaxed);
    if (size == 0)
        size = 1;
    if (void *p = std::malloc(size))
        return p;
    throw std::bad_alloc();
}

void operator delete(void *p) noexcept
{
    std::free(p);
}

void operator delete(void *p, std::size_t) noexcept
{
    std::free(p);
}
#endif

namespace {

constexpr double notANumber = std::numeric_limits<double>::quiet_NaN();
constexpr double infinity = std::numeric_limits<double>::infinity();

const QSize linearSize(513, 333);
const QSize angularSize(449, 257);

// Counts paint events a widget receives and collects the painted region.
class PaintSpy : public QObject {
public:
    explicit PaintSpy(QWidget *widget) : target(widget) { widget->installEventFilter(this); }

    void reset()
    {
        count = 0;
        region = QRegion();
    }

    int count = 0;
    QRegion region;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == target && event->type() == QEvent::Paint) {
            ++count;
            region += static_cast<QPaintEvent *>(event)->region();
        }
        return false;
    }

private:
    QWidget *target;
};

// Delivers every pending update and paint; then a short wait in which a stray
// timer-driven repaint would still show up.
void settle()
{
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
    }
    QTest::qWait(30);
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
}

bool sameBits(double a, double b)
{
    return std::bit_cast<quint64>(a) == std::bit_cast<quint64>(b);
}

struct Scale {
    double minimum;
    double maximum;
};

const char *const captions[LinearGauge::pointerCount] = {"RPM", "ADV", "VOLTS", "1&2", "3&4"};
const Scale scales[LinearGauge::pointerCount] = {{0, 3600}, {20, 45}, {0, 18}, {0, 100}, {0, 100}};

// The linear gauge as the window sets it up.
void configureLikeWindow(LinearGauge &gauge)
{
    gauge.setCaption(QStringLiteral("Torvane"));
    for (int i = 0; i < LinearGauge::pointerCount; ++i) {
        gauge.setPointerCaption(i, QString::fromLatin1(captions[i]));
        gauge.setPointerScale(i, scales[i].minimum, scales[i].maximum);
    }
    gauge.setPointerLegend(3, QStringLiteral("SHORT"));
    gauge.setPointerLegend(4, QStringLiteral("OPEN"));
}

void configureLikeWindow(AngularGauge &dial)
{
    dial.setScale(0, 360, true);
    dial.setCaptions(QStringLiteral("PROP ANGLE"));
    dial.setDispatchProperty(52, 3);
    dial.setDispatchProperty(59, 4096);
}

void setAllPointers(LinearGauge &gauge, double value)
{
    for (int i = 0; i < LinearGauge::pointerCount; ++i) {
        gauge.setPointer(i);
        gauge.setPointerValue(value);
    }
}

void setPointerScaleEnds(LinearGauge &gauge, bool high)
{
    for (int i = 0; i < LinearGauge::pointerCount; ++i) {
        gauge.setPointer(i);
        gauge.setPointerValue(high ? gauge.pointerScaleMaximum(i) : gauge.pointerScaleMinimum(i));
    }
}

int countReddish(const QImage &image)
{
    int count = 0;
    const QImage rgb = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < rgb.height(); ++y) {
        const QRgb *line = reinterpret_cast<const QRgb *>(rgb.constScanLine(y));
        for (int x = 0; x < rgb.width(); ++x) {
            const QRgb px = line[x];
            if (qAlpha(px) > 200 && qRed(px) > 170 && qGreen(px) < 90 && qBlue(px) < 90)
                ++count;
        }
    }
    return count;
}

} // namespace

class TestGauges : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();

    // LinearGauge: the window's contract.
    void linearInitialState();
    void linearReadBackIsExact_data();
    void linearReadBackIsExact();
    void linearAnimationStepsReadBackExactly();
    void linearPointersAreIndependent();
    void linearOutOfRangeIndexIsHarmless_data();
    void linearOutOfRangeIndexIsHarmless();
    void linearColourGoesToNamedPointer();
    void linearStaticLookRoundTrips();

    // LinearGauge: repaint economy.
    void linearSameValueDoesNotRepaint();
    void linearChangedValueRepaintsOnlyItsBar();
    void linearColourWriteRepaintsOnlyWhenChanged();
    void linearPinnedValuesDoNotRepaint();

    // AngularGauge: the contract and repaint economy.
    void angularReadBackIsExact_data();
    void angularReadBackIsExact();
    void angularDispatchProperties_data();
    void angularDispatchProperties();
    void angularSettersRoundTrip();
    void angularSameValueDoesNotRepaint();

    // Rendering.
    void linearRendersPinnedAtScaleEnds_data();
    void linearRendersPinnedAtScaleEnds();
    void linearBarsDrawnInTheirOwnColour();
    void angularRendersPinnedAtScaleEnds_data();
    void angularRendersPinnedAtScaleEnds();
    void angularRedLine_data();
    void angularRedLine();
    void angularIsTransparentOutsideCircle();
    void renderingHonoursDevicePixelRatio();
    void renderingSurvivesOddSizes_data();
    void renderingSurvivesOddSizes();
    void renderingSurvivesOddScales_data();
    void renderingSurvivesOddScales();

    // Performance.
    void valueWritesDoNotAllocate();

    // Pictures for a person to look at.
    void savesScreenshots();
};

void TestGauges::initTestCase()
{
    if (!QFontDatabase::families().contains(QStringLiteral("DejaVu Sans")))
        qWarning("DejaVu Sans is not installed; the gauges fall back to another font");
}

// ---------------------------------------------------------------------------

void TestGauges::linearInitialState()
{
    LinearGauge gauge;
    QCOMPARE(gauge.Pointer(), int16_t(0));
    QCOMPARE(LinearGauge::pointerCount, 5);
    for (int i = 0; i < LinearGauge::pointerCount; ++i) {
        QVERIFY(sameBits(gauge.pointerValueAt(i), 0.0));
        QCOMPARE(gauge.pointerColorAt(i), PackedColor::orange);
        gauge.setPointer(i);
        QVERIFY(sameBits(gauge.PointerValue(), 0.0));
    }
}

void TestGauges::linearReadBackIsExact_data()
{
    QTest::addColumn<int>("pointer");
    QTest::addColumn<double>("value");

    const double values[] = {0.0, -0.0, 0.1, 1.0 / 3.0, -2.5, 3599.999999999, 1e9, -1e9, 1e-300,
                             std::numeric_limits<double>::denorm_min(), std::numeric_limits<double>::max(),
                             -std::numeric_limits<double>::max(), infinity, -infinity, notANumber};
    const char *names[] = {"zero", "negative zero", "0.1", "one third", "negative", "just below scale end",
                           "1e9", "-1e9", "tiny", "denormal", "max double", "lowest double", "infinity", "-infinity", "NaN"};
    for (int pointer = 0; pointer < LinearGauge::pointerCount; ++pointer)
        for (size_t v = 0; v < std::size(values); ++v)
            QTest::addRow("pointer %d, %s", pointer, names[v]) << pointer << values[v];
}

void TestGauges::linearReadBackIsExact()
{
    QFETCH(int, pointer);
    QFETCH(double, value);

    LinearGauge gauge;
    configureLikeWindow(gauge);
    gauge.resize(linearSize);
    gauge.setPointer(pointer);
    gauge.setPointerValue(value);
    QVERIFY(sameBits(gauge.PointerValue(), value));
    QVERIFY(sameBits(gauge.pointerValueAt(pointer), value));

    // Writing it again, and writing a value that draws the same, still reads back.
    gauge.setPointerValue(value);
    QVERIFY(sameBits(gauge.PointerValue(), value));
    gauge.setPointerValue(0.0);
    gauge.setPointerValue(value);
    QVERIFY(sameBits(gauge.PointerValue(), value));
}

void TestGauges::linearAnimationStepsReadBackExactly()
{
    // The window's animation: value = PointerValue() + 0.1 every tick.
    LinearGauge gauge;
    configureLikeWindow(gauge);
    gauge.resize(linearSize);
    double expected[LinearGauge::pointerCount] = {0, 20, 0, 0, 0};
    for (int i = 0; i < LinearGauge::pointerCount; ++i) {
        gauge.setPointer(i);
        gauge.setPointerValue(expected[i]);
    }
    for (int tick = 0; tick < 2000; ++tick) {
        for (int i = 0; i < LinearGauge::pointerCount; ++i) {
            gauge.setPointer(i);
            gauge.setPointerValue(gauge.PointerValue() + 0.1);
            expected[i] = expected[i] + 0.1;
        }
    }
    for (int i = 0; i < LinearGauge::pointerCount; ++i)
        QVERIFY2(sameBits(gauge.pointerValueAt(i), expected[i]), qPrintable(QString::number(i)));
}

void TestGauges::linearPointersAreIndependent()
{
    LinearGauge gauge;
    const double values[] = {2400.5, 33.25, 13.8, -7.0, 1e9};
    for (int i = 0; i < LinearGauge::pointerCount; ++i) {
        gauge.setPointer(i);
        QCOMPARE(gauge.Pointer(), int16_t(i));
        gauge.setPointerValue(values[i]);
    }
    for (int i = LinearGauge::pointerCount - 1; i >= 0; --i) {
        gauge.setPointer(i);
        QVERIFY(sameBits(gauge.PointerValue(), values[i]));
        QVERIFY(sameBits(gauge.pointerValueAt(i), values[i]));
    }
    // Changing one leaves the others alone.
    gauge.setPointer(2);
    gauge.setPointerValue(-1.5);
    for (int i = 0; i < LinearGauge::pointerCount; ++i)
        QVERIFY(sameBits(gauge.pointerValueAt(i), i == 2 ? -1.5 : values[i]));
}

void TestGauges::linearOutOfRangeIndexIsHarmless_data()
{
    QTest::addColumn<int>("index");
    QTest::newRow("-1") << -1;
    QTest::newRow("5") << 5;
    QTest::newRow("6") << 6;
    QTest::newRow("100") << 100;
    QTest::newRow("int16 min") << int(std::numeric_limits<int16_t>::min());
    QTest::newRow("int16 max") << int(std::numeric_limits<int16_t>::max());
}

void TestGauges::linearOutOfRangeIndexIsHarmless()
{
    QFETCH(int, index);
    const int16_t bad = int16_t(index);

    LinearGauge gauge;
    configureLikeWindow(gauge);
    gauge.resize(linearSize);
    gauge.setPointer(2);
    gauge.setPointerValue(7.5);

    gauge.setPointer(bad); // ignored: pointer 2 stays selected
    QCOMPARE(gauge.Pointer(), int16_t(2));
    QVERIFY(sameBits(gauge.PointerValue(), 7.5));
    gauge.setPointerValue(9.25);
    QVERIFY(sameBits(gauge.pointerValueAt(2), 9.25));
    for (int i = 0; i < LinearGauge::pointerCount; ++i)
        if (i != 2)
            QVERIFY(sameBits(gauge.pointerValueAt(i), 0.0));

    gauge.setColorPointer(1);
    gauge.setColorPointer(bad); // ignored: pointer 1 stays named
    gauge.setPointerColor(PackedColor::red);
    QCOMPARE(gauge.pointerColorAt(1), PackedColor::red);

    // Reads by index answer neutrally, writes by index are ignored.
    QVERIFY(sameBits(gauge.pointerValueAt(index), 0.0));
    QCOMPARE(gauge.pointerColorAt(index), 0u);
    gauge.setPointerCaption(index, QStringLiteral("X"));
    gauge.setPointerScale(index, 1, 2);
    gauge.setPointerLegend(index, QStringLiteral("Y"));
    QCOMPARE(gauge.pointerCaption(index), QString());
    QCOMPARE(gauge.pointerLegend(index), QString());
    QCOMPARE(gauge.pointerScaleMinimum(index), 0.0);
    QCOMPARE(gauge.pointerScaleMaximum(index), 0.0);
    for (int i = 0; i < LinearGauge::pointerCount; ++i)
        QCOMPARE(gauge.pointerCaption(i), QString::fromLatin1(captions[i]));

    QVERIFY(!gauge.grab().isNull());
}

void TestGauges::linearColourGoesToNamedPointer()
{
    LinearGauge gauge;
    gauge.setPointer(1);
    gauge.setColorPointer(3);
    gauge.setPointerColor(PackedColor::green);
    QCOMPARE(gauge.pointerColorAt(3), PackedColor::green);
    QCOMPARE(gauge.pointerColorAt(1), PackedColor::orange); // the selected one is not coloured
    QCOMPARE(gauge.Pointer(), int16_t(1));                  // naming does not select

    // The colour stays until the next colour write for that pointer.
    gauge.setColorPointer(0);
    gauge.setPointerColor(PackedColor::red);
    gauge.setPointer(3);
    gauge.setPointerValue(50);
    QCOMPARE(gauge.pointerColorAt(3), PackedColor::green);
    QCOMPARE(gauge.pointerColorAt(0), PackedColor::red);

    gauge.setColorPointer(3);
    gauge.setPointerColor(PackedColor::red);
    QCOMPARE(gauge.pointerColorAt(3), PackedColor::red);
    gauge.setPointerColor(PackedColor::darkGrey);
    QCOMPARE(gauge.pointerColorAt(3), PackedColor::darkGrey);

    for (int i : {2, 4})
        QCOMPARE(gauge.pointerColorAt(i), PackedColor::orange);
}

void TestGauges::linearStaticLookRoundTrips()
{
    LinearGauge gauge;
    configureLikeWindow(gauge);
    QCOMPARE(gauge.caption(), QStringLiteral("Torvane"));
    for (int i = 0; i < LinearGauge::pointerCount; ++i) {
        QCOMPARE(gauge.pointerCaption(i), QString::fromLatin1(captions[i]));
        QCOMPARE(gauge.pointerScaleMinimum(i), scales[i].minimum);
        QCOMPARE(gauge.pointerScaleMaximum(i), scales[i].maximum);
    }
    QCOMPARE(gauge.pointerLegend(0), QString());
    QCOMPARE(gauge.pointerLegend(3), QStringLiteral("SHORT"));
    QCOMPARE(gauge.pointerLegend(4), QStringLiteral("OPEN"));
}

// ---------------------------------------------------------------------------

void TestGauges::linearSameValueDoesNotRepaint()
{
    LinearGauge gauge;
    configureLikeWindow(gauge);
    gauge.resize(linearSize);
    gauge.setPointer(0);
    gauge.setPointerValue(1800);
    gauge.show();
    QVERIFY(QTest::qWaitForWindowExposed(&gauge));
    PaintSpy spy(&gauge);
    settle();
    spy.reset();

    gauge.setPointerValue(1800); // same value
    gauge.setPointer(0);         // selecting and naming draw nothing
    gauge.setColorPointer(0);
    gauge.setPointerColor(PackedColor::orange); // same colour
    settle();
    QCOMPARE(spy.count, 0);

    gauge.setPointerValue(2400); // a change shows
    QTRY_VERIFY(spy.count > 0);
}

void TestGauges::linearChangedValueRepaintsOnlyItsBar()
{
    LinearGauge gauge;
    configureLikeWindow(gauge);
    gauge.resize(linearSize);
    gauge.show();
    QVERIFY(QTest::qWaitForWindowExposed(&gauge));
    PaintSpy spy(&gauge);
    settle();

    QRect painted[LinearGauge::pointerCount];
    for (int i = 0; i < LinearGauge::pointerCount; ++i) {
        spy.reset();
        gauge.setPointer(i);
        gauge.setPointerValue((scales[i].minimum + scales[i].maximum) / 2);
        QTRY_VERIFY(spy.count > 0);
        settle();
        painted[i] = spy.region.boundingRect();
        QVERIFY2(QRect(QPoint(0, 0), linearSize).contains(painted[i]), qPrintable(QString::number(i)));
        QVERIFY2(painted[i].height() * LinearGauge::pointerCount <= linearSize.height(),
                 qPrintable(QStringLiteral("bar %1 repainted %2 px high").arg(i).arg(painted[i].height())));
        QVERIFY(painted[i].width() < linearSize.width());
    }
    for (int i = 1; i < LinearGauge::pointerCount; ++i) {
        QVERIFY(painted[i].top() > painted[i - 1].bottom()); // stacked top to bottom
        for (int j = 0; j < i; ++j)
            QVERIFY(!painted[i].intersects(painted[j]));
    }
}

void TestGauges::linearColourWriteRepaintsOnlyWhenChanged()
{
    LinearGauge gauge;
    configureLikeWindow(gauge);
    gauge.resize(linearSize);
    setAllPointers(gauge, 50);
    gauge.show();
    QVERIFY(QTest::qWaitForWindowExposed(&gauge));
    PaintSpy spy(&gauge);
    settle();

    // The value region of bar 2, for comparison.
    spy.reset();
    gauge.setPointer(2);
    gauge.setPointerValue(3);
    QTRY_VERIFY(spy.count > 0);
    settle();
    const QRect bar2 = spy.region.boundingRect();

    spy.reset();
    gauge.setColorPointer(2);
    gauge.setPointerColor(PackedColor::orange);
    settle();
    QCOMPARE(spy.count, 0);

    gauge.setPointer(4); // the selection does not matter
    gauge.setPointerColor(PackedColor::green);
    QTRY_VERIFY(spy.count > 0);
    settle();
    QCOMPARE(spy.region.boundingRect(), bar2);
}

void TestGauges::linearPinnedValuesDoNotRepaint()
{
    LinearGauge gauge;
    configureLikeWindow(gauge);
    gauge.resize(linearSize);
    gauge.setPointer(1);
    gauge.setPointerValue(1e9);
    gauge.show();
    QVERIFY(QTest::qWaitForWindowExposed(&gauge));
    PaintSpy spy(&gauge);
    settle();
    spy.reset();

    // All pinned at the top of 20..45: the bar looks the same.
    for (double v : {2e9, 46.0, infinity, 45.0}) {
        gauge.setPointerValue(v);
        QVERIFY(sameBits(gauge.PointerValue(), v));
    }
    // All pinned at the bottom.
    gauge.setPointerValue(-5);
    QTRY_VERIFY(spy.count > 0);
    settle();
    spy.reset();
    for (double v : {-1e9, notANumber, 20.0, -infinity})
        gauge.setPointerValue(v);
    settle();
    QCOMPARE(spy.count, 0);
}

// ---------------------------------------------------------------------------

void TestGauges::angularReadBackIsExact_data()
{
    QTest::addColumn<double>("value");
    QTest::newRow("zero") << 0.0;
    QTest::newRow("negative zero") << -0.0;
    QTest::newRow("0.1") << 0.1;
    QTest::newRow("one third") << 1.0 / 3.0;
    QTest::newRow("in scale") << 123.456;
    QTest::newRow("scale end") << 360.0;
    QTest::newRow("beyond end") << 720.5;
    QTest::newRow("negative") << -45.0;
    QTest::newRow("1e9") << 1e9;
    QTest::newRow("-1e9") << -1e9;
    QTest::newRow("infinity") << infinity;
    QTest::newRow("-infinity") << -infinity;
    QTest::newRow("NaN") << notANumber;
    QTest::newRow("max double") << std::numeric_limits<double>::max();
    QTest::newRow("denormal") << std::numeric_limits<double>::denorm_min();
}

void TestGauges::angularReadBackIsExact()
{
    QFETCH(double, value);
    AngularGauge dial;
    configureLikeWindow(dial);
    dial.resize(angularSize);
    QVERIFY(sameBits(dial.NeedleValue(), 0.0));
    dial.setNeedleValue(value);
    QVERIFY(sameBits(dial.NeedleValue(), value));
    dial.setNeedleValue(value);
    QVERIFY(sameBits(dial.NeedleValue(), value));
    dial.setNeedleValue(dial.NeedleValue() + 0.1);
    QVERIFY(sameBits(dial.NeedleValue(), value + 0.1));
}

void TestGauges::angularDispatchProperties_data()
{
    QTest::addColumn<int>("id");
    QTest::addColumn<int>("value");
    QTest::newRow("window: 52 = 3") << 52 << 3;
    QTest::newRow("window: 59 = max RPM") << 59 << 4096;
    QTest::newRow("59 negative") << 59 << -1;
    QTest::newRow("int16 max") << 7 << 32767;
    QTest::newRow("int16 min") << 1000 << -32768;
    QTest::newRow("id zero") << 0 << 12;
    QTest::newRow("negative id") << -3 << 5;
}

void TestGauges::angularDispatchProperties()
{
    QFETCH(int, id);
    QFETCH(int, value);
    AngularGauge dial;
    dial.resize(angularSize);
    QCOMPARE(dial.dispatchProperty(id), int16_t(0)); // unset reads as 0
    dial.setDispatchProperty(id, int16_t(value));
    QCOMPARE(dial.dispatchProperty(id), int16_t(value));
    QCOMPARE(dial.dispatchProperty(id + 1), int16_t(0));
    dial.setDispatchProperty(id + 1, 9);
    QCOMPARE(dial.dispatchProperty(id), int16_t(value));
    dial.setDispatchProperty(id, int16_t(value / 2));
    QCOMPARE(dial.dispatchProperty(id), int16_t(value / 2));
    QVERIFY(!dial.grab().isNull());
}

void TestGauges::angularSettersRoundTrip()
{
    AngularGauge dial;
    QCOMPARE(dial.scaleMinimum(), 0.0);
    QCOMPARE(dial.scaleMaximum(), 100.0);
    QVERIFY(!dial.isFullCircle());
    configureLikeWindow(dial);
    QCOMPARE(dial.scaleMinimum(), 0.0);
    QCOMPARE(dial.scaleMaximum(), 360.0);
    QVERIFY(dial.isFullCircle());
    QCOMPARE(dial.caption(), QStringLiteral("PROP ANGLE"));
    QCOMPARE(dial.subCaption(), QString());
    dial.setCaptions(QStringLiteral("RPM"), QStringLiteral("x100"));
    QCOMPARE(dial.caption(), QStringLiteral("RPM"));
    QCOMPARE(dial.subCaption(), QStringLiteral("x100"));
    dial.setVisible(false); // Visible is QWidget's own
    QVERIFY(dial.isHidden());
}

void TestGauges::angularSameValueDoesNotRepaint()
{
    AngularGauge dial;
    configureLikeWindow(dial);
    dial.resize(angularSize);
    dial.setNeedleValue(90);
    dial.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dial));
    PaintSpy spy(&dial);
    settle();
    spy.reset();

    dial.setNeedleValue(90);
    dial.setDispatchProperty(52, 3);
    dial.setDispatchProperty(59, 4096);
    dial.setCaptions(QStringLiteral("PROP ANGLE"));
    dial.setScale(0, 360, true);
    settle();
    QCOMPARE(spy.count, 0);

    dial.setNeedleValue(91);
    QTRY_VERIFY(spy.count > 0);
    settle();

    // Pinned at the end of the scale: no visible change, no repaint.
    dial.setNeedleValue(1e9);
    QTRY_VERIFY(spy.count > 0);
    settle();
    spy.reset();
    dial.setNeedleValue(2e9);
    dial.setNeedleValue(infinity);
    dial.setNeedleValue(360);
    settle();
    QCOMPARE(spy.count, 0);
    QVERIFY(sameBits(dial.NeedleValue(), 360.0));
}

// ---------------------------------------------------------------------------

void TestGauges::linearRendersPinnedAtScaleEnds_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<bool>("pinnedHigh");
    QTest::newRow("1e9") << 1e9 << true;
    QTest::newRow("-1e9") << -1e9 << false;
    QTest::newRow("NaN") << notANumber << false;
    QTest::newRow("infinity") << infinity << true;
    QTest::newRow("-infinity") << -infinity << false;
    QTest::newRow("max double") << std::numeric_limits<double>::max() << true;
    QTest::newRow("lowest double") << -std::numeric_limits<double>::max() << false;
    QTest::newRow("just above 3600") << 3600.5 << true;
}

void TestGauges::linearRendersPinnedAtScaleEnds()
{
    QFETCH(double, value);
    QFETCH(bool, pinnedHigh);

    LinearGauge gauge;
    configureLikeWindow(gauge);
    gauge.resize(linearSize);
    const uint32_t colours[] = {PackedColor::green, PackedColor::orange, PackedColor::red, PackedColor::green,
                                PackedColor::darkGrey};
    for (int i = 0; i < LinearGauge::pointerCount; ++i) {
        gauge.setColorPointer(i);
        gauge.setPointerColor(colours[i]);
    }

    setPointerScaleEnds(gauge, pinnedHigh);
    const QImage reference = gauge.grab().toImage();
    setPointerScaleEnds(gauge, !pinnedHigh);
    const QImage other = gauge.grab().toImage();
    QVERIFY(reference != other);

    setAllPointers(gauge, value);
    const QImage pinned = gauge.grab().toImage();
    QCOMPARE(pinned.size(), linearSize * gauge.devicePixelRatioF());
    QVERIFY(pinned == reference);
}

void TestGauges::linearBarsDrawnInTheirOwnColour()
{
    LinearGauge gauge;
    configureLikeWindow(gauge);
    gauge.resize(linearSize);
    setPointerScaleEnds(gauge, true);
    const QImage before = gauge.grab().toImage();

    // Recolouring one bar changes pixels only within that bar's band.
    QRect changed[LinearGauge::pointerCount];
    for (int i = 0; i < LinearGauge::pointerCount; ++i) {
        gauge.setColorPointer(i);
        gauge.setPointerColor(PackedColor::green);
        const QImage after = gauge.grab().toImage();
        QRect box;
        for (int y = 0; y < after.height(); ++y)
            for (int x = 0; x < after.width(); ++x)
                if (after.pixel(x, y) != before.pixel(x, y))
                    box |= QRect(x, y, 1, 1);
        QVERIFY2(!box.isEmpty(), qPrintable(QString::number(i)));
        changed[i] = box;
        gauge.setPointerColor(PackedColor::orange);
        QVERIFY(gauge.grab().toImage() == before);
    }
    for (int i = 1; i < LinearGauge::pointerCount; ++i)
        QVERIFY(changed[i].top() > changed[i - 1].bottom());

    // A full bar in pure green shows green pixels.
    gauge.setColorPointer(0);
    gauge.setPointerColor(PackedColor::green);
    const QImage green = gauge.grab().toImage();
    int greenish = 0;
    for (int y = changed[0].top(); y <= changed[0].bottom(); ++y)
        for (int x = changed[0].left(); x <= changed[0].right(); ++x) {
            const QRgb px = green.pixel(x, y);
            if (qGreen(px) > 150 && qRed(px) < 120 && qBlue(px) < 120)
                ++greenish;
        }
    QVERIFY(greenish > changed[0].width() * changed[0].height() / 2);
}

void TestGauges::angularRendersPinnedAtScaleEnds_data()
{
    QTest::addColumn<bool>("fullCircle");
    QTest::addColumn<double>("minimum");
    QTest::addColumn<double>("maximum");
    QTest::addColumn<double>("value");
    QTest::addColumn<bool>("pinnedHigh");

    QTest::newRow("circle, 1e9") << true << 0.0 << 360.0 << 1e9 << true;
    QTest::newRow("circle, 361") << true << 0.0 << 360.0 << 361.0 << true;
    QTest::newRow("circle, -1e9") << true << 0.0 << 360.0 << -1e9 << false;
    QTest::newRow("circle, NaN") << true << 0.0 << 360.0 << notANumber << false;
    QTest::newRow("circle, infinity") << true << 0.0 << 360.0 << infinity << true;
    QTest::newRow("arc, 1e9") << false << 0.0 << 5000.0 << 1e9 << true;
    QTest::newRow("arc, -1e9") << false << 0.0 << 5000.0 << -1e9 << false;
    QTest::newRow("arc, NaN") << false << 0.0 << 5000.0 << notANumber << false;
    QTest::newRow("arc, -infinity") << false << 0.0 << 5000.0 << -infinity << false;
    QTest::newRow("arc, max double") << false << 0.0 << 5000.0 << std::numeric_limits<double>::max() << true;
}

void TestGauges::angularRendersPinnedAtScaleEnds()
{
    QFETCH(bool, fullCircle);
    QFETCH(double, minimum);
    QFETCH(double, maximum);
    QFETCH(double, value);
    QFETCH(bool, pinnedHigh);

    AngularGauge dial;
    dial.setScale(minimum, maximum, fullCircle);
    dial.setCaptions(QStringLiteral("PROP ANGLE"), QStringLiteral("DEG"));
    dial.resize(angularSize);

    dial.setNeedleValue(pinnedHigh ? maximum : minimum);
    const QImage reference = dial.grab().toImage();
    dial.setNeedleValue((minimum + maximum) / 3);
    QVERIFY(dial.grab().toImage() != reference);

    dial.setNeedleValue(value);
    const QImage pinned = dial.grab().toImage();
    QCOMPARE(pinned.size(), angularSize * dial.devicePixelRatioF());
    QVERIFY(pinned == reference);
}

void TestGauges::angularRedLine_data()
{
    QTest::addColumn<bool>("fullCircle");
    QTest::addColumn<double>("maximum");
    QTest::addColumn<int>("redLine"); // -1: not set
    QTest::addColumn<bool>("expectRed");
    QTest::newRow("arc, in range") << false << 5000.0 << 4096 << true;
    QTest::newRow("arc, at the end") << false << 4096.0 << 4096 << true;
    QTest::newRow("arc, beyond the end") << false << 4000.0 << 4096 << false;
    QTest::newRow("arc, not set") << false << 5000.0 << -1 << false;
    QTest::newRow("circle, out of range") << true << 360.0 << 4096 << false;
    QTest::newRow("circle, in range") << true << 360.0 << 300 << true;
}

void TestGauges::angularRedLine()
{
    QFETCH(bool, fullCircle);
    QFETCH(double, maximum);
    QFETCH(int, redLine);
    QFETCH(bool, expectRed);

    AngularGauge dial;
    dial.setScale(0, maximum, fullCircle);
    dial.setCaptions(QStringLiteral("RPM"));
    dial.resize(angularSize);
    dial.setDispatchProperty(52, 3);
    if (redLine >= 0)
        dial.setDispatchProperty(59, int16_t(redLine));
    const int red = countReddish(dial.grab().toImage());
    if (expectRed)
        QVERIFY2(red > 20, qPrintable(QString::number(red)));
    else
        QCOMPARE(red, 0);
}

void TestGauges::angularIsTransparentOutsideCircle()
{
    // The window: a navy parent, the dial over the linear gauge.
    QWidget window;
    window.resize(683, 476);
    window.setAutoFillBackground(true);
    QPalette navy = window.palette();
    navy.setColor(QPalette::Window, QColor(0, 0, 128));
    window.setPalette(navy);
    LinearGauge gauge(&window);
    gauge.setGeometry(24, 96, linearSize.width(), linearSize.height());
    configureLikeWindow(gauge);
    setPointerScaleEnds(gauge, true);
    AngularGauge dial(&window);
    dial.setGeometry(56, 136, angularSize.width(), angularSize.height());
    configureLikeWindow(dial);
    dial.setNeedleValue(45);

    const QImage with = window.grab().toImage();
    dial.hide();
    const QImage without = window.grab().toImage();
    const qreal dpr = window.devicePixelRatioF();
    auto at = [&](const QImage &image, int x, int y) {
        return image.pixel(int((dial.x() + x) * dpr), int((dial.y() + y) * dpr));
    };

    const int w = angularSize.width();
    const int h = angularSize.height();
    const int radius = std::min(w, h) / 2;
    // Corners and the sides beside the circle show what lies below.
    const QPoint outside[] = {{1, 1}, {w - 2, 1}, {1, h - 2}, {w - 2, h - 2}, {w / 2 - radius - 4, h / 2},
                              {w / 2 + radius + 4, h / 2}, {10, h / 2}, {w - 10, h / 2}};
    for (const QPoint &p : outside)
        QVERIFY2(at(with, p.x(), p.y()) == at(without, p.x(), p.y()),
                 qPrintable(QStringLiteral("(%1,%2)").arg(p.x()).arg(p.y())));
    // Inside, the dial covers the bars.
    int covered = 0;
    for (int y = h / 2 - radius / 2; y < h / 2 + radius / 2; y += 4)
        for (int x = w / 2 - radius / 2; x < w / 2 + radius / 2; x += 4)
            covered += at(with, x, y) != at(without, x, y);
    QVERIFY(covered > (radius / 4) * (radius / 4) / 2);
}

void TestGauges::renderingHonoursDevicePixelRatio()
{
    LinearGauge gauge;
    configureLikeWindow(gauge);
    gauge.resize(linearSize);
    const QPixmap linear = gauge.grab();
    QCOMPARE(linear.devicePixelRatio(), gauge.devicePixelRatioF());
    QCOMPARE(linear.size(), (QSizeF(linearSize) * gauge.devicePixelRatioF()).toSize());

    AngularGauge dial;
    configureLikeWindow(dial);
    dial.resize(angularSize);
    const QPixmap round = dial.grab();
    QCOMPARE(round.devicePixelRatio(), dial.devicePixelRatioF());
    QCOMPARE(round.size(), (QSizeF(angularSize) * dial.devicePixelRatioF()).toSize());

    // Resizing re-renders the cached background at the new size.
    gauge.resize(300, 200);
    QCOMPARE(gauge.grab().size(), (QSizeF(300, 200) * gauge.devicePixelRatioF()).toSize());
    dial.resize(120, 120);
    QCOMPARE(dial.grab().size(), (QSizeF(120, 120) * dial.devicePixelRatioF()).toSize());
}

void TestGauges::renderingSurvivesOddSizes_data()
{
    QTest::addColumn<QSize>("size");
    QTest::newRow("empty") << QSize(0, 0);
    QTest::newRow("1x1") << QSize(1, 1);
    QTest::newRow("thin") << QSize(513, 3);
    QTest::newRow("narrow") << QSize(4, 333);
    QTest::newRow("small") << QSize(40, 30);
    QTest::newRow("large") << QSize(1600, 1000);
}

void TestGauges::renderingSurvivesOddSizes()
{
    QFETCH(QSize, size);
    LinearGauge gauge;
    configureLikeWindow(gauge);
    gauge.resize(size);
    setAllPointers(gauge, 1e9);
    gauge.grab();
    setAllPointers(gauge, notANumber);
    gauge.grab();

    AngularGauge dial;
    configureLikeWindow(dial);
    dial.resize(size);
    dial.setNeedleValue(-1e9);
    dial.grab();
    dial.setNeedleValue(notANumber);
    dial.grab();
}

void TestGauges::renderingSurvivesOddScales_data()
{
    QTest::addColumn<double>("minimum");
    QTest::addColumn<double>("maximum");
    QTest::newRow("reversed") << 100.0 << 0.0;
    QTest::newRow("empty") << 5.0 << 5.0;
    QTest::newRow("NaN end") << notANumber << 1.0;
    QTest::newRow("infinite") << -infinity << infinity;
    QTest::newRow("overflowing span") << -std::numeric_limits<double>::max() << std::numeric_limits<double>::max();
    QTest::newRow("tiny span far out") << 1e300 << 1.0000000000001e300;
    QTest::newRow("fractional") << 0.0 << 0.25;
    QTest::newRow("negative") << -40.0 << -10.0;
}

void TestGauges::renderingSurvivesOddScales()
{
    QFETCH(double, minimum);
    QFETCH(double, maximum);

    LinearGauge gauge;
    configureLikeWindow(gauge);
    gauge.resize(linearSize);
    for (int i = 0; i < LinearGauge::pointerCount; ++i)
        gauge.setPointerScale(i, minimum, maximum);
    for (double v : {0.0, 1e9, -1e9, notANumber, minimum, maximum}) {
        setAllPointers(gauge, v);
        QVERIFY(!gauge.grab().isNull());
        QVERIFY(sameBits(gauge.PointerValue(), v));
    }

    for (bool fullCircle : {false, true}) {
        AngularGauge dial;
        dial.setScale(minimum, maximum, fullCircle);
        dial.setCaptions(QStringLiteral("X"), QStringLiteral("Y"));
        dial.setDispatchProperty(59, 4096);
        dial.resize(angularSize);
        for (double v : {0.0, 1e9, -1e9, notANumber, minimum, maximum}) {
            dial.setNeedleValue(v);
            QVERIFY(!dial.grab().isNull());
            QVERIFY(sameBits(dial.NeedleValue(), v));
        }
    }
}

// ---------------------------------------------------------------------------

void TestGauges::valueWritesDoNotAllocate()
{
#if !GAUGES_COUNT_ALLOCATIONS
    QSKIP("allocation counting is off in sanitizer builds");
#else
    LinearGauge gauge;
    configureLikeWindow(gauge);
    gauge.resize(linearSize);
    AngularGauge dial;
    configureLikeWindow(dial);
    dial.resize(angularSize);
    // Warm up: first-time lookups (screen, font) may allocate once.
    gauge.grab();
    dial.grab();
    setAllPointers(gauge, 1);
    dial.setNeedleValue(1);

    const long long before = allocationCount.load();
    for (int tick = 0; tick < 500; ++tick) {
        for (int i = 0; i < LinearGauge::pointerCount; ++i) {
            gauge.setPointer(i);
            gauge.setPointerValue(gauge.PointerValue() + 0.1 * (tick % 7) - 0.25);
            gauge.setColorPointer(i);
            gauge.setPointerColor(tick % 3 == 0 ? PackedColor::green : PackedColor::orange);
        }
        dial.setNeedleValue(dial.NeedleValue() + 1.7);
        dial.setDispatchProperty(52, 3);
    }
    const long long allocations = allocationCount.load() - before;
    QCOMPARE(allocations, 0LL);
#endif
}

// ---------------------------------------------------------------------------

void TestGauges::savesScreenshots()
{
    QWidget window;
    window.resize(683, 476);
    window.setAutoFillBackground(true);
    QPalette navy = window.palette();
    navy.setColor(QPalette::Window, QColor(0, 0, 128));
    window.setPalette(navy);

    LinearGauge gauge(&window);
    gauge.setObjectName(QStringLiteral("LGauge1"));
    gauge.setGeometry(24, 96, linearSize.width(), linearSize.height());
    configureLikeWindow(gauge);
    const double values[] = {2450, 31.5, 13.8, 12, 88};
    const uint32_t colours[] = {PackedColor::green, PackedColor::orange, PackedColor::green, PackedColor::orange,
                                PackedColor::red};
    for (int i = 0; i < LinearGauge::pointerCount; ++i) {
        gauge.setPointer(i);
        gauge.setPointerValue(values[i]);
        gauge.setColorPointer(i);
        gauge.setPointerColor(colours[i]);
    }

    AngularGauge dial(&window);
    dial.setObjectName(QStringLiteral("AGauge2"));
    dial.setGeometry(56, 136, angularSize.width(), angularSize.height());
    configureLikeWindow(dial);
    dial.setNeedleValue(57.5);

    const QString dir = QDir::tempPath();
    QVERIFY(window.grab().save(dir + QStringLiteral("/gauges-window.png")));
    QVERIFY(gauge.grab().save(dir + QStringLiteral("/gauges-linear.png")));
    QVERIFY(dial.grab().save(dir + QStringLiteral("/gauges-angular.png")));

    // The same dial as a 270-degree RPM instrument with its red line.
    AngularGauge rpm;
    rpm.resize(257, 257);
    rpm.setScale(0, 5000);
    rpm.setCaptions(QStringLiteral("RPM"), QStringLiteral("x1"));
    rpm.setDispatchProperty(59, 4096);
    rpm.setNeedleValue(2450);
    QVERIFY(rpm.grab().save(dir + QStringLiteral("/gauges-angular-arc.png")));

    // The two small dials of the window (poll counters below its client area).
    QWidget strip;
    strip.resize(360, 160);
    strip.setAutoFillBackground(true);
    strip.setPalette(navy);
    AngularGauge engine(&strip);
    engine.setGeometry(4, 8, 177, 145);
    engine.setScale(0, 3500);
    engine.setCaptions(QStringLiteral("RPM"), QStringLiteral("Engine"));
    engine.setDispatchProperty(59, 3000);
    engine.setNeedleValue(2100);
    AngularGauge buss(&strip);
    buss.setGeometry(186, 8, 169, 145);
    buss.setScale(0, 18);
    buss.setCaptions(QStringLiteral("VOLTS"), QStringLiteral("Aircraft Buss"));
    buss.setNeedleValue(13.8);
    QVERIFY(strip.grab().save(dir + QStringLiteral("/gauges-small-dials.png")));

    // Out of scale everywhere: still inside the gauges.
    setAllPointers(gauge, 1e9);
    dial.setNeedleValue(-1e9);
    QVERIFY(window.grab().save(dir + QStringLiteral("/gauges-window-pinned.png")));
}

QTEST_MAIN(TestGauges)
#include "test_gauges.moc"
