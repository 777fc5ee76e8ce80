// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of the two gauge widgets: the read-back contract the window relies on,
// colour naming, dispatch properties, repaint economy, drawing of values far
// outside the scales, and where on a scale a value sits.

#include "gauges/angular_gauge.h"
#include "gauges/gauge_drawing.h"
#include "gauges/linear_gauge.h"
#include "gauges/packed_color.h"

#include <QPaintEvent>
#include <QtTest>

#include <bit>
#include <limits>

namespace {

constexpr double notANumber = std::numeric_limits<double>::quiet_NaN();
constexpr double infinity = std::numeric_limits<double>::infinity();
constexpr double maxDouble = std::numeric_limits<double>::max();
constexpr int bars = LinearGauge::pointerCount;

const QSize linearSize(513, 333);
const QSize angularSize(449, 257);

// Exact, so that -0.0 and NaN compare as themselves.
bool sameBits(double a, double b)
{
    return std::bit_cast<quint64>(a) == std::bit_cast<quint64>(b);
}

// The linear gauge as the window sets it up.
void configure(LinearGauge &gauge)
{
    const char *const captions[bars] = {"RPM", "ADV", "VOLTS", "1&2", "3&4"};
    const double maxima[bars] = {3600, 45, 18, 100, 100};
    for (int i = 0; i < bars; ++i) {
        gauge.setPointerCaption(i, QString::fromLatin1(captions[i]));
        gauge.setPointerScale(i, i == 1 ? 20 : 0, maxima[i]);
    }
    gauge.resize(linearSize);
}

template <typename ValueFor>
void setAll(LinearGauge &gauge, ValueFor valueFor)
{
    for (int i = 0; i < bars; ++i) {
        gauge.selectPointer(int16_t(i));
        gauge.setSelectedValue(valueFor(i));
    }
}

// Counts the paint events a widget receives and collects the painted region.
class PaintSpy : public QObject {
public:
    explicit PaintSpy(QWidget *widget) { widget->installEventFilter(this); }
    void reset()
    {
        count = 0;
        region = {};
    }
    int count = 0;
    QRegion region;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint) {
            ++count;
            region += static_cast<QPaintEvent *>(event)->region();
        }
        return false;
    }
};

// Delivers pending updates, then waits long enough for a stray repaint to show.
void settle()
{
    QCoreApplication::processEvents();
    QTest::qWait(30);
    QCoreApplication::processEvents();
}

int countReddish(const QImage &image)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QRgb px = image.pixel(x, y);
            count += qAlpha(px) > 200 && qRed(px) > 170 && qGreen(px) < 90 && qBlue(px) < 90;
        }
    return count;
}

} // namespace

// The dial paints only inside its round mask; what lies outside is left
// transparent so that two drawings compare equal.
static QImage drawn(QWidget &widget)
{
    QImage image(widget.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    widget.render(&image);
    return image;
}

class TestGauges : public QObject {
    Q_OBJECT

private slots:
    void readBackIsExact_data();
    void readBackIsExact();
    void outOfRangeIndexIsHarmless_data();
    void outOfRangeIndexIsHarmless();
    void colourGoesToNamedPointer_data();
    void colourGoesToNamedPointer();
    void barDrawnInItsLatestColour();
    void redLine_data();
    void redLine();
    void repaintsOnlyTheChangedBar_data();
    void repaintsOnlyTheChangedBar();
    void dialRepaintsOnlyWhenNeedleMoves();
    void needleDrawsAsDrawnDirectly();
    void farOutOfScaleIsPinned_data();
    void farOutOfScaleIsPinned();
    void scaleFraction_data();
    void scaleFraction();
    void faceWidgetCoversOnlyOpaquePixels_data();
    void faceWidgetCoversOnlyOpaquePixels();
};

void TestGauges::readBackIsExact_data()
{
    QTest::addColumn<int>("pointer");
    QTest::addColumn<double>("value");
    const double values[] = {0.0, -0.0, 0.1, 1.0 / 3.0, -2.5, 3599.999999999, 1e9, -1e9,
                             std::numeric_limits<double>::denorm_min(), maxDouble, infinity, -infinity, notANumber};
    const char *const names[] = {"zero", "negative zero", "0.1", "one third", "negative", "just below scale end",
                                 "1e9", "-1e9", "denormal", "max double", "infinity", "-infinity", "NaN"};
    for (size_t v = 0; v < std::size(values); ++v)
        QTest::addRow("%s", names[v]) << int(v % bars) << values[v];
}

// The animation steps each bar and the needle from the value it reads back,
// also far outside the scale (the advance bar starts at 0, below 20): what
// was written must come back bit for bit, per pointer, even after a drawing
// that pins it to the scale's end.
void TestGauges::readBackIsExact()
{
    QFETCH(int, pointer);
    QFETCH(double, value);

    LinearGauge gauge;
    configure(gauge);
    AngularGauge dial;
    dial.setScale(0, 360, true);
    dial.resize(angularSize);

    setAll(gauge, [](int i) { return i + 0.5; });
    gauge.selectPointer(int16_t(pointer));
    gauge.setSelectedValue(value);
    dial.setNeedleValue(value);
    drawn(gauge);
    drawn(dial);

    QVERIFY(sameBits(gauge.selectedValue(), value));
    QVERIFY(sameBits(dial.needleValue(), value));
    for (int i = 0; i < bars; ++i)
        QVERIFY2(sameBits(gauge.pointerValueAt(i), i == pointer ? value : i + 0.5),
                 qPrintable(QString::number(i)));
}

void TestGauges::outOfRangeIndexIsHarmless_data()
{
    QTest::addColumn<int>("index");
    QTest::newRow("-1") << -1;
    QTest::newRow("5") << 5;
    QTest::newRow("100") << 100;
    QTest::newRow("int16 min") << int(std::numeric_limits<int16_t>::min());
    QTest::newRow("int16 max") << int(std::numeric_limits<int16_t>::max());
}

void TestGauges::outOfRangeIndexIsHarmless()
{
    QFETCH(int, index);
    LinearGauge gauge;
    configure(gauge);
    gauge.selectPointer(2);
    gauge.selectPointerToColour(1);

    // Ignored: pointer 2 stays selected and pointer 1 stays named.
    gauge.selectPointer(int16_t(index));
    gauge.selectPointerToColour(int16_t(index));
    QCOMPARE(gauge.selectedPointer(), int16_t(2));
    gauge.setSelectedValue(9.25);
    gauge.colourSelectedPointer(PackedColor::red);
    for (int i = 0; i < bars; ++i) {
        QCOMPARE(gauge.pointerValueAt(i), i == 2 ? 9.25 : 0.0);
        QCOMPARE(gauge.pointerColorAt(i), i == 1 ? PackedColor::red : PackedColor::orange);
    }

    // Reads by index answer neutrally; writes by index are ignored.
    QCOMPARE(gauge.pointerValueAt(index), 0.0);
    QCOMPARE(gauge.pointerColorAt(index), 0u);
    gauge.setPointerCaption(index, QStringLiteral("X"));
    gauge.setPointerScale(index, 1, 2);
    gauge.setPointerLegend(index, QStringLiteral("Y"));
    QCOMPARE(gauge.pointerCaption(index), QString());
    QVERIFY(!gauge.grab().isNull());
}

void TestGauges::colourGoesToNamedPointer_data()
{
    QTest::addColumn<int>("selected");
    QTest::addColumn<int>("named");
    QTest::newRow("select 1, name 3") << 1 << 3;
    QTest::newRow("select 3, name 1") << 3 << 1;
    QTest::newRow("select 0, name 4") << 0 << 4;
    QTest::newRow("select and name 2") << 2 << 2;
}

void TestGauges::colourGoesToNamedPointer()
{
    QFETCH(int, selected);
    QFETCH(int, named);
    LinearGauge gauge;
    gauge.selectPointer(int16_t(selected));
    gauge.selectPointerToColour(int16_t(named));
    gauge.colourSelectedPointer(PackedColor::green);
    gauge.setSelectedValue(50);
    QCOMPARE(gauge.selectedPointer(), int16_t(selected)); // naming does not select
    QCOMPARE(gauge.pointerValueAt(selected), 50.0);
    for (int i = 0; i < bars; ++i)
        QCOMPARE(gauge.pointerColorAt(i), i == named ? PackedColor::green : PackedColor::orange);

    // The colour stays until the next colour write for that same pointer.
    gauge.selectPointerToColour(int16_t((named + 1) % bars));
    gauge.colourSelectedPointer(PackedColor::red);
    QCOMPARE(gauge.pointerColorAt(named), PackedColor::green);
}

// The bars' shading is kept from one repaint to the next.
void TestGauges::barDrawnInItsLatestColour()
{
    auto colouredBar = [](const QList<uint32_t> &colours) {
        auto gauge = std::make_unique<LinearGauge>();
        configure(*gauge);
        gauge->selectPointer(2);
        gauge->setSelectedValue(50);
        gauge->selectPointerToColour(2);
        for (uint32_t colour : colours) {
            gauge->colourSelectedPointer(colour);
            drawn(*gauge);
        }
        return drawn(*gauge);
    };
    QCOMPARE(colouredBar({PackedColor::green, PackedColor::red}), colouredBar({PackedColor::red}));
    QVERIFY(colouredBar({PackedColor::red}) != colouredBar({PackedColor::green}));
}

void TestGauges::redLine_data()
{
    QTest::addColumn<double>("from");
    QTest::addColumn<bool>("shown"); // on a 0..5000 dial
    QTest::newRow("4096") << 4096.0 << true;
    QTest::newRow("at the scale end") << 5000.0 << true;
    QTest::newRow("beyond the scale") << 6000.0 << false;
    QTest::newRow("negative") << -1.0 << false;
    QTest::newRow("not a number") << qQNaN() << false;
}

void TestGauges::redLine()
{
    QFETCH(double, from);
    QFETCH(bool, shown);
    AngularGauge dial;
    dial.setScale(0, 5000);
    dial.resize(angularSize);
    QCOMPARE(countReddish(drawn(dial)), 0);
    dial.setRedLine(from);
    const int red = countReddish(drawn(dial));
    QVERIFY2(shown ? red > 20 : red == 0, qPrintable(QString::number(red)));
    dial.setRedLine(std::nullopt);
    QCOMPARE(countReddish(drawn(dial)), 0);
}

void TestGauges::repaintsOnlyTheChangedBar_data()
{
    QTest::addColumn<int>("pointer");
    for (int i = 0; i < bars; ++i)
        QTest::addRow("pointer %d", i) << i;
}

void TestGauges::repaintsOnlyTheChangedBar()
{
    QFETCH(int, pointer);
    LinearGauge gauge;
    configure(gauge);
    setAll(gauge, [&](int i) { return gauge.pointerScaleMaximum(i); });
    gauge.show();
    QVERIFY(QTest::qWaitForWindowExposed(&gauge));
    const QImage before = gauge.grab().toImage();
    PaintSpy spy(&gauge);
    settle();
    spy.reset();

    // Writes that draw the same: the same value, values pinned at the same
    // end, the same colour.
    gauge.selectPointer(int16_t(pointer));
    for (double v : {gauge.pointerScaleMaximum(pointer), 1e9, infinity})
        gauge.setSelectedValue(v);
    gauge.selectPointerToColour(int16_t(pointer));
    gauge.colourSelectedPointer(PackedColor::orange);
    settle();
    QCOMPARE(spy.count, 0);

    gauge.setSelectedValue(gauge.pointerScaleMaximum(pointer) / 3);
    QTRY_VERIFY(spy.count > 0);
    settle();
    const QRect painted = spy.region.boundingRect();
    QVERIFY2(painted.height() * bars <= linearSize.height(), qPrintable(QString::number(painted.height())));

    // The repaint covers every pixel that changed.
    const QImage after = gauge.grab().toImage();
    const qreal dpr = after.devicePixelRatio();
    QRect changed;
    for (int y = 0; y < after.height(); ++y)
        for (int x = 0; x < after.width(); ++x)
            if (after.pixel(x, y) != before.pixel(x, y))
                changed |= QRect(int(x / dpr), int(y / dpr), 1, 1);
    QVERIFY(!changed.isEmpty());
    QVERIFY(painted.contains(changed));
}

void TestGauges::dialRepaintsOnlyWhenNeedleMoves()
{
    AngularGauge dial;
    dial.setScale(0, 360, true);
    dial.resize(angularSize);
    dial.setNeedleValue(360);
    dial.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dial));
    PaintSpy spy(&dial);
    PaintSpy faceSpy(dial.findChild<QWidget *>()); // the opaque middle, painted on its own
    settle();
    spy.reset();
    faceSpy.reset();

    for (double v : {360.0, 1e9, infinity})
        dial.setNeedleValue(v);
    dial.setScale(0, 360, true);
    settle();
    QCOMPARE(spy.count + faceSpy.count, 0);

    dial.setNeedleValue(350);
    QTRY_VERIFY(faceSpy.count > 0);
    QCOMPARE(spy.count, 0);
}

// The needle's shadow goes through a scratch image and each angle's needle
// is drawn once and then copied: both must give exactly the pixels of
// drawing straight onto the dial, on either 32-bit device, for the whole
// dial and for the area a needle step repaints.
void TestGauges::needleDrawsAsDrawnDirectly()
{
    AngularGauge dial;
    dial.setScale(0, 360, true);
    dial.resize(angularSize);
    for (QImage::Format format : {QImage::Format_ARGB32_Premultiplied, QImage::Format_RGB32}) {
        double previous = 0.0;
        for (double value : {0.0, 37.3, 90.0, 154.55, 225.0, 301.9, 37.3, 38.3}) {
            dial.setNeedleValue(value);
            const QRegion step = dial.needleStep(dial.angleFor(previous), dial.angleFor(value));
            previous = value;
            for (const QRegion &region : {QRegion(dial.rect()), step}) {
                auto draw = [&] {
                    QImage image(angularSize, format);
                    image.fill(Qt::darkCyan);
                    dial.render(&image, QPoint(), region);
                    return image;
                };
                const QImage copied = draw();
                dial.directNeedle = true;
                QVERIFY2(draw() == copied, qPrintable(QString::number(value)));
                dial.directNeedle = false;
            }
        }
    }
}

void TestGauges::farOutOfScaleIsPinned_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<bool>("high");
    QTest::newRow("1e9") << 1e9 << true;
    QTest::newRow("-1e9") << -1e9 << false;
    QTest::newRow("NaN") << notANumber << false;
    QTest::newRow("infinity") << infinity << true;
    QTest::newRow("-infinity") << -infinity << false;
    QTest::newRow("max double") << maxDouble << true;
    QTest::newRow("lowest double") << -maxDouble << false;
}

void TestGauges::farOutOfScaleIsPinned()
{
    QFETCH(double, value);
    QFETCH(bool, high);

    LinearGauge gauge;
    configure(gauge);
    auto end = [&](int i) { return high ? gauge.pointerScaleMaximum(i) : gauge.pointerScaleMinimum(i); };
    setAll(gauge, end);
    const QImage atEnd = gauge.grab().toImage();
    setAll(gauge, [&](int i) { return end(i) + (high ? -1 : 1); });
    QVERIFY(gauge.grab().toImage() != atEnd);
    setAll(gauge, [&](int) { return value; });
    QVERIFY(gauge.grab().toImage() == atEnd);

    for (bool fullCircle : {false, true}) {
        const double maximum = fullCircle ? 360 : 5000;
        AngularGauge dial;
        dial.setScale(0, maximum, fullCircle);
        dial.resize(angularSize);
        dial.setNeedleValue(high ? maximum : 0);
        const QImage needleAtEnd = drawn(dial);
        dial.setNeedleValue(maximum / 3);
        QVERIFY(drawn(dial) != needleAtEnd);
        dial.setNeedleValue(value);
        QVERIFY2(drawn(dial) == needleAtEnd, fullCircle ? "full circle" : "arc");
    }
}

void TestGauges::scaleFraction_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<double>("minimum");
    QTest::addColumn<double>("maximum");
    QTest::addColumn<double>("fraction");
    QTest::newRow("middle") << 25.0 << 20.0 << 30.0 << 0.5;
    QTest::newRow("below") << 19.0 << 20.0 << 30.0 << 0.0;
    QTest::newRow("above") << 31.0 << 20.0 << 30.0 << 1.0;
    QTest::newRow("reversed scale") << 2.0 << 5.0 << -5.0 << 0.3;
    QTest::newRow("NaN value") << notANumber << 0.0 << 10.0 << 0.0;
    QTest::newRow("no span") << 5.0 << 5.0 << 5.0 << 0.0;
    QTest::newRow("infinite span") << 1.0 << -infinity << infinity << 0.0;
    QTest::newRow("NaN end") << 1.0 << 0.0 << notANumber << 0.0;
    QTest::newRow("span overflows") << 0.0 << -maxDouble << maxDouble << 0.0;
}

// Both gauges place and pin their values through this one function.
void TestGauges::scaleFraction()
{
    QFETCH(double, value);
    QFETCH(double, minimum);
    QFETCH(double, maximum);
    QFETCH(double, fraction);
    QCOMPARE(fractionOf(value, minimum, maximum), fraction);
}

void TestGauges::faceWidgetCoversOnlyOpaquePixels_data()
{
    QTest::addColumn<QSize>("size");
    QTest::addColumn<bool>("hasFace");
    QTest::newRow("prop dial") << angularSize << true;
    QTest::newRow("square") << QSize(120, 120) << true;
    QTest::newRow("odd sizes") << QSize(61, 41) << true;
    QTest::newRow("tall") << QSize(40, 90) << true;
    QTest::newRow("too small for a face") << QSize(12, 12) << false;
}

// The face widget is opaque: any pixel it covers that the dial leaves
// translucent would show as a dark corner over the bars behind the dial.
void TestGauges::faceWidgetCoversOnlyOpaquePixels()
{
    QFETCH(QSize, size);
    QFETCH(bool, hasFace);
    AngularGauge dial;
    dial.setScale(0, 5000);
    dial.setRedLine(4000);
    dial.resize(size);
    dial.setNeedleValue(4500);
    const QImage image = drawn(dial); // delivers the resize that places the face widget
    const QWidget *face = dial.findChild<QWidget *>();
    QCOMPARE(!face->isHidden(), hasFace);
    int covered = 0;
    for (const QRect &rect : face->mask()) {
        for (int y = rect.top(); y <= rect.bottom(); ++y)
            for (int x = rect.left(); x <= rect.right(); ++x) {
                QVERIFY2(qAlpha(image.pixel(x, y)) == 255, qPrintable(QStringLiteral("%1, %2").arg(x).arg(y)));
                ++covered;
            }
    }
    // Most of the round dial, not a token patch of it.
    if (hasFace)
        QVERIFY2(covered > 0.5 * M_PI / 4 * std::pow(std::min(size.width(), size.height()), 2),
                 qPrintable(QString::number(covered)));
}

QTEST_MAIN(TestGauges)
#include "test_gauges.moc"
