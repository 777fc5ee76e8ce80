// SPDX-License-Identifier: GPL-3.0-or-later
#include "gauges/angular_gauge.h"
#include "gauges/gauge_animation.h"
#include "gauges/linear_gauge.h"
#include "gauges/packed_color.h"
#include "support/link_fixture.h"
#include "ui/color_button.h"

#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QtTest>

// The main window as it stands before any event: every control's name, place,
// text, colours, font and visibility. Geometry is in twips, as designed.
class TestLayout : public QObject {
    Q_OBJECT
private slots:
    void cleanupTestCase() { fixture.reset(); }
    void window();
    void controls_data();
    void controls();
    void scrollBars_data();
    void scrollBars();
    void gauges();
    void timers();
    void everyControlIsNamedForAccessibility();
    void renders();

private:
    // Made on first use: the data functions need it too.
    WindowFixture &f()
    {
        if (!fixture)
            fixture = std::make_unique<WindowFixture>();
        return *fixture;
    }
    std::unique_ptr<WindowFixture> fixture;
};

namespace {

QRect twips(int l, int t, int w, int h)
{
    return QRect(l / 15, t / 15, w / 15, h / 15);
}

QColor backOf(QWidget *w)
{
    if (auto *b = qobject_cast<ColorButton *>(w))
        return PackedColor::toQColor(b->backColor());
    if (qobject_cast<QLineEdit *>(w))
        return w->palette().color(QPalette::Base);
    return w->palette().color(QPalette::Window);
}

QString textOf(QWidget *w)
{
    if (auto *l = qobject_cast<QLabel *>(w))
        return l->text();
    if (auto *t = qobject_cast<QLineEdit *>(w))
        return t->text();
    if (auto *b = qobject_cast<QPushButton *>(w))
        return b->text();
    return QString();
}

const QColor navy(0, 0, 128), white(255, 255, 255), yellow(255, 255, 0), teal(0, 192, 192),
    pink(255, 128, 128), green192(0, 192, 0), darkGrey(64, 64, 64), black(0, 0, 0);

} // namespace

void TestLayout::window()
{
    ConsoleWindow &w = f().window;
    QCOMPARE(w.objectName(), QStringLiteral("dashform"));
    QCOMPARE(w.windowTitle(), QStringLiteral("TORVANE DATA LINK"));
    QCOMPARE(w.size(), twips(0, 0, 10245, 7140).size());
    QCOMPARE(w.palette().color(QPalette::Window), navy);
    QVERIFY(w.logo->pixmap().size() == QSize(100, 45));
}

// Each control is reached through its member and must carry its old name.
void TestLayout::controls_data()
{
    QTest::addColumn<QWidget *>("widget");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QRect>("rect");
    QTest::addColumn<QColor>("back");
    QTest::addColumn<double>("points");
    QTest::addColumn<bool>("bold");
    QTest::addColumn<bool>("visible");

    const ConsoleWindow &w = f().window;
    auto row = [](QWidget *widget, const char *name, const QString &text, QRect rect, QColor back,
                  double points, bool bold, bool visible = true) {
        QTest::newRow(name) << widget << QString(name) << text << rect << back << points << bold
                            << visible;
    };
    auto caption = [&w](Setting s) { return w.settingRows[int(s)].caption; };
    auto box = [&w](Setting s) { return w.settingRows[int(s)].box; };
    row(w.logo, "Logo", "", twips(120, 240, 1500, 675), white, 8.25, false);
    row(w.titleLabel, "Label16", "Torvane Interactive Configuration", twips(1680, 120, 7575, 615),
        navy, 24, true);
    row(w.seriesLabel, "Label14", "Torvane Series 410 / 420 Ignitions", twips(2280, 720, 3015, 255),
        navy, 8.25, true);
    row(w.releaseLabel, "Label1", "Rev: 04 Release", twips(5280, 720, 1455, 255), navy, 8.25, true);
    row(w.statusCaption, "Label2", "Status:", twips(480, 960, 855, 375), navy, 12, true);
    row(w.statusBox, "statusbox", "", twips(1440, 960, 4215, 300), navy, 12, true);
    row(w.portButtons[0], "com1", "COM1", twips(6840, 840, 735, 375), pink, 8.25, false);
    row(w.portButtons[1], "com2", "COM2", twips(7680, 840, 735, 375), pink, 8.25, false);
    row(w.portButtons[2], "com3", "COM3", twips(8520, 840, 735, 375), pink, 8.25, false);
    row(w.portButtons[3], "com4", "COM4", twips(9360, 840, 735, 375), pink, 8.25, false);
    row(w.resetButton, "Command5", "RESET", twips(8760, 720, 1095, 375), green192, 8.25, true,
        false);
    row(caption(Setting::StartDelay), "Label9", "Start Delay", twips(8400, 2160, 1575, 255), navy,
        9.75, true);
    row(caption(Setting::Led), "Label11", "LED", twips(8520, 2880, 1335, 255), navy, 9.75, true);
    row(caption(Setting::PulsesPerRev), "Label12", "Tach - PPR", twips(8400, 3600, 1455, 255), navy,
        9.75, true);
    row(caption(Setting::AdvanceShift), "Label15", "Adv Shift", twips(8400, 4320, 1455, 255), navy,
        9.75, true);
    row(caption(Setting::MaxRpm), "Label19", "Max RPM ", twips(8520, 5040, 1335, 255), navy, 9.75,
        true);
    row(caption(Setting::MaxAdvance), "Label20", "Max ADV", twips(8520, 5760, 1335, 255), navy,
        9.75, true);
    row(box(Setting::StartDelay), "cycledata", "", twips(8400, 1800, 735, 360), yellow, 9.75, true);
    row(box(Setting::Led), "leddata", "", twips(8400, 2520, 735, 360), yellow, 8.25, true);
    row(box(Setting::PulsesPerRev), "pprdata", "", twips(8400, 3240, 735, 360), yellow, 9.75, true);
    row(box(Setting::AdvanceShift), "conshiftdata", "", twips(8400, 3960, 735, 360), yellow, 9.75,
        true);
    row(box(Setting::MaxRpm), "maxrpmdata", "", twips(8400, 4680, 735, 360), yellow, 9.75, true);
    row(box(Setting::MaxAdvance), "maxadvancedata", "", twips(8400, 5400, 735, 360), yellow, 9.75,
        true);
    row(w.storeButton, "storebutton", "STORE CONFIG", twips(8400, 6600, 1455, 375), darkGrey, 8.25,
        false);
    row(w.firmwareCaption, "Label10", "FW Rev:", twips(480, 6600, 975, 375), navy, 12, false);
    row(w.firmwareBox, "revdata", "0", twips(1560, 6600, 615, 360), teal, 8.25, true);
    row(w.temperatureCaption, "Label8", "TEMP DEG C", twips(2520, 6600, 855, 135), navy, 6.75,
        false);
    row(w.currentCaption, "Label4", "CURRENT", twips(2520, 6840, 855, 135), navy, 6.75, false);
    row(w.temperatureBox, "tempdata", "", twips(3480, 6600, 615, 345), teal, 9.75, true);
    row(w.maxTemperatureUnitCaption, "Label5", "DEG C", twips(4200, 6600, 495, 135), navy, 6.75,
        false);
    row(w.maxTemperatureCaption, "Label3", "MAX", twips(4200, 6840, 495, 135), navy, 6.75, false);
    row(w.maxTemperatureBox, "maxtempdata", "", twips(4800, 6600, 615, 345), teal, 9.75, true);
    row(w.wiringButton, "Command4", "CONNECTION INFO", twips(5640, 6600, 2295, 375), green192, 9.75,
        true);
    row(w.tablesButton, "advset", "Tables", twips(360, 7200, 1095, 375), QColor(255, 128, 0), 9.75,
        true, false);
    row(w.autoAdvanceButton, "Command2", "Auto", twips(1560, 7200, 1095, 375), QColor(0, 255, 0),
        9.75, true, false);
    row(w.manualAdvanceButton, "Command3", "Manual", twips(2880, 7200, 1095, 375),
        QColor(128, 128, 128), 9.75, true, false);
    row(w.retardButton, "Command6", "-", twips(4080, 7200, 375, 360), darkGrey, 14.25, true, false);
    row(w.advanceButton, "Command7", "+", twips(4560, 7200, 375, 345), darkGrey, 12, true, false);
}

void TestLayout::controls()
{
    QFETCH(QWidget *, widget);
    QFETCH(QString, name);
    QVERIFY(widget);
    QCOMPARE(widget->objectName(), name);
    QCOMPARE(f().window.findChild<QWidget *>(name), widget);
    QTEST(textOf(widget), "text");
    QTEST(widget->geometry(), "rect");
    QTEST(backOf(widget), "back");
    QTEST(widget->font().pointSizeF(), "points");
    QTEST(widget->font().bold(), "bold");
    QTEST(!widget->isHidden(), "visible");
}

void TestLayout::scrollBars_data()
{
    QTest::addColumn<Setting>("setting");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("rect");
    QTest::addColumn<int>("minimum");
    QTest::addColumn<int>("maximum");
    QTest::addColumn<int>("value");
    auto row = [](Setting setting, const char *name, QRect rect, int minimum, int maximum,
                  int value) {
        QTest::newRow(name) << setting << QString(name) << rect << minimum << maximum << value;
    };
    row(Setting::StartDelay, "cyclescroll", twips(9360, 1920, 495, 255), 0, 8, 0);
    row(Setting::Led, "ledscroll", twips(9360, 2640, 495, 255), 0, 3, 0);
    row(Setting::PulsesPerRev, "pprscroll", twips(9360, 3360, 495, 255), 0, 2, 0);
    row(Setting::AdvanceShift, "conshiftscroll", twips(9360, 4080, 495, 255), -9, 9, 0);
    row(Setting::MaxRpm, "maxrpmscroll", twips(9360, 4800, 495, 255), 0, 16, 0);
    row(Setting::MaxAdvance, "maxadvancescroll", twips(9360, 5520, 495, 255), 14, 35, 14);
}

void TestLayout::scrollBars()
{
    QFETCH(Setting, setting);
    QFETCH(QString, name);
    QScrollBar *bar = f().window.settingRows[int(setting)].editor;
    QVERIFY(bar);
    QCOMPARE(bar->objectName(), name);
    QTEST(bar->geometry(), "rect");
    QTEST(bar->minimum(), "minimum");
    QTEST(bar->maximum(), "maximum");
    QTEST(bar->value(), "value");
    QCOMPARE(bar->singleStep(), 1);
    QCOMPARE(bar->pageStep(), 1);
    QCOMPARE(bar->orientation(), Qt::Horizontal);
    QVERIFY(bar->isHidden());
}

void TestLayout::gauges()
{
    ConsoleWindow &w = f().window;
    const struct {
        QWidget *gauge;
        const char *name;
    } names[] = {{w.engineBars, "LGauge1"},
                 {w.propellerDial, "AGauge2"},
                 {w.rpmDial, "rpmdial"},
                 {w.voltsDial, "voltsdial"}};
    for (const auto &n : names)
        QCOMPARE(n.gauge->objectName(), QLatin1String(n.name));

    QCOMPARE(w.engineBars->geometry(), twips(360, 1440, 7695, 4995));
    QCOMPARE(w.engineBars->caption(), QStringLiteral("Torvane"));
    const QStringList captions{"RPM", "ADV", "VOLTS", "1&2", "3&4"};
    const double scales[][2] = {{0, 3600}, {20, 45}, {0, 18}, {0, 100}, {0, 100}};
    for (int i = 0; i < 5; ++i) {
        QCOMPARE(w.engineBars->pointerCaption(i), captions[i]);
        QCOMPARE(w.engineBars->pointerScaleMinimum(i), scales[i][0]);
        QCOMPARE(w.engineBars->pointerScaleMaximum(i), scales[i][1]);
    }
    QCOMPARE(w.engineBars->pointerLegend(3), QStringLiteral("SHORT"));
    QCOMPARE(w.engineBars->pointerLegend(4), QStringLiteral("OPEN"));

    QCOMPARE(w.propellerDial->geometry(), twips(840, 2040, 6735, 3855));
    QCOMPARE(w.propellerDial->caption(), QStringLiteral("PROP ANGLE"));
    QVERIFY(w.propellerDial->isFullCircle());
    QCOMPARE(w.propellerDial->scaleMaximum(), 360.0);
    QVERIFY(!w.propellerDial->isHidden());
    // The propeller dial is drawn over the bars.
    QVERIFY(w.children().indexOf(w.propellerDial) > w.children().indexOf(w.engineBars));

    QCOMPARE(w.rpmDial->geometry(), twips(360, 12480, 2655, 2175));
    QCOMPARE(w.rpmDial->scaleMaximum(), 3500.0);
    QCOMPARE(w.voltsDial->geometry(), twips(3120, 12480, 2535, 2175));
    QCOMPARE(w.voltsDial->scaleMaximum(), 18.0);
    // Below the client area: never seen.
    for (QWidget *dial : {static_cast<QWidget *>(w.rpmDial), static_cast<QWidget *>(w.voltsDial)})
        QVERIFY(!w.rect().intersects(dial->geometry()));
}

// Before any click only the gauge animation and the transmit pump run.
void TestLayout::timers()
{
    WindowFixture fresh;
    QVERIFY(!fresh.link.polling());
    QVERIFY(!fresh.link.retryingHandshake());
    QVERIFY(fresh.window.gaugeAnimation().isRunning());
    QVERIFY(!fresh.window.gaugeAnimation().resting());
    // A port click only queues: the running pump sends it.
    fresh.window.clickPort(1);
    QTRY_VERIFY(!fresh.port->writes.isEmpty());
}

void TestLayout::everyControlIsNamedForAccessibility()
{
    const QList<QWidget *> controls =
        f().window.findChildren<QWidget *>(Qt::FindDirectChildrenOnly);
    QCOMPARE(controls.size(), 50);
    QSet<QString> names;
    // Tools find each control by its objectName; screen readers speak its
    // accessible name, in words (test_accessibility).
    for (QWidget *w : controls) {
        QVERIFY(!w->objectName().isEmpty());
        names.insert(w->objectName());
    }
    QCOMPARE(names.size(), controls.size());
    QCOMPARE(f().window.accessibleName(), QStringLiteral("Torvane Data Link"));
}

void TestLayout::renders()
{
    const QImage image = f().window.grab().toImage();
    QCOMPARE(image.size(), f().window.size() * image.devicePixelRatio());
    const QString path = qEnvironmentVariable("TORVANE_SCREENSHOT");
    if (!path.isEmpty())
        image.save(path);
}

QTEST_MAIN(TestLayout)
#include "test_layout.moc"
