#include "gauges/angular_gauge.h"
#include "gauges/linear_gauge.h"
#include "support/form_fixture.h"
#include "ui/color_button.h"
#include "ui/packed_color.h"

#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QTimer>
#include <QtTest>

// The main window as it stands before any event: every control's place, text,
// colours, font, visibility and Tag. Geometry is in twips, as designed.
class TestLayout : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { fixture = std::make_unique<FormFixture>(); }
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
    std::unique_ptr<FormFixture> fixture;
};

namespace {

QRect twips(int l, int t, int w, int h)
{
    return QRect(l / 15, t / 15, w / 15, h / 15);
}

QColor backOf(QWidget *w)
{
    if (auto *b = qobject_cast<ColorButton *>(w))
        return PackedColor::toQColor(b->BackColor());
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
    DashForm &form = fixture->form;
    QCOMPARE(form.objectName(), QStringLiteral("dashform"));
    QCOMPARE(form.windowTitle(), QStringLiteral("TORVANE DATA LINK"));
    QCOMPARE(form.size(), twips(0, 0, 10245, 7140).size());
    QCOMPARE(form.palette().color(QPalette::Window), navy);
    QCOMPARE(Tag(&form), QStringLiteral("0"));
    QVERIFY(form.Logo->pixmap().size() == QSize(100, 45));
}

void TestLayout::controls_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QRect>("rect");
    QTest::addColumn<QColor>("back");
    QTest::addColumn<double>("points");
    QTest::addColumn<bool>("bold");
    QTest::addColumn<bool>("visible");
    QTest::addColumn<QString>("tag");

    auto row = [](const char *name, const QString &text, QRect rect, QColor back, double points,
                  bool bold, bool visible = true, const QString &tag = QString()) {
        QTest::newRow(name) << QString(name) << text << rect << back << points << bold << visible
                            << tag;
    };
    row("Logo", "", twips(120, 240, 1500, 675), white, 8.25, false);
    row("Label16", "Torvane Interactive Configuration", twips(1680, 120, 7575, 615), navy, 24, true);
    row("Label14", "Torvane Series 410 / 420 Ignitions", twips(2280, 720, 3015, 255), navy, 8.25,
        true);
    row("Label1", "Rev: 04 Release", twips(5280, 720, 1455, 255), navy, 8.25, true);
    row("Label2", "Status:", twips(480, 960, 855, 375), navy, 12, true);
    row("statusbox", "", twips(1440, 960, 4215, 300), navy, 12, true);
    row("com1", "COM1", twips(6840, 840, 735, 375), pink, 8.25, false);
    row("com2", "COM2", twips(7680, 840, 735, 375), pink, 8.25, false);
    row("com3", "COM3", twips(8520, 840, 735, 375), pink, 8.25, false);
    row("com4", "COM4", twips(9360, 840, 735, 375), pink, 8.25, false);
    row("Command5", "RESET", twips(8760, 720, 1095, 375), green192, 8.25, true, false);
    row("Label9", "Start Delay", twips(8400, 2160, 1575, 255), navy, 9.75, true);
    row("Label11", "LED", twips(8520, 2880, 1335, 255), navy, 9.75, true);
    row("Label12", "Tach - PPR", twips(8400, 3600, 1455, 255), navy, 9.75, true);
    row("Label15", "Adv Shift", twips(8400, 4320, 1455, 255), navy, 9.75, true);
    row("Label19", "Max RPM ", twips(8520, 5040, 1335, 255), navy, 9.75, true);
    row("Label20", "Max ADV", twips(8520, 5760, 1335, 255), navy, 9.75, true);
    row("cycledata", "", twips(8400, 1800, 735, 360), yellow, 9.75, true, true, "2");
    row("leddata", "", twips(8400, 2520, 735, 360), yellow, 8.25, true, true, "2");
    row("pprdata", "", twips(8400, 3240, 735, 360), yellow, 9.75, true, true, "2");
    row("conshiftdata", "", twips(8400, 3960, 735, 360), yellow, 9.75, true, true, "2");
    row("maxrpmdata", "", twips(8400, 4680, 735, 360), yellow, 9.75, true, true, "2");
    row("maxadvancedata", "", twips(8400, 5400, 735, 360), yellow, 9.75, true, true, "2");
    row("storebutton", "STORE CONFIG", twips(8400, 6600, 1455, 375), darkGrey, 8.25, false);
    row("Label10", "FW Rev:", twips(480, 6600, 975, 375), navy, 12, false);
    row("revdata", "0", twips(1560, 6600, 615, 360), teal, 8.25, true, true, "2");
    row("Label8", "TEMP DEG C", twips(2520, 6600, 855, 135), navy, 6.75, false);
    row("Label4", "CURRENT", twips(2520, 6840, 855, 135), navy, 6.75, false);
    row("tempdata", "", twips(3480, 6600, 615, 345), teal, 9.75, true, true, "2");
    row("Label5", "DEG C", twips(4200, 6600, 495, 135), navy, 6.75, false);
    row("Label3", "MAX", twips(4200, 6840, 495, 135), navy, 6.75, false);
    row("maxtempdata", "", twips(4800, 6600, 615, 345), teal, 9.75, true, true, "2");
    row("Command4", "CONNECTION INFO", twips(5640, 6600, 2295, 375), green192, 9.75, true);
    row("advset", "Tables", twips(360, 7200, 1095, 375), QColor(255, 128, 0), 9.75, true, false);
    row("Command2", "Auto", twips(1560, 7200, 1095, 375), QColor(0, 255, 0), 9.75, true, false);
    row("Command3", "Manual", twips(2880, 7200, 1095, 375), QColor(128, 128, 128), 9.75, true,
        false);
    row("Command6", "-", twips(4080, 7200, 375, 360), darkGrey, 14.25, true, false);
    row("Command7", "+", twips(4560, 7200, 375, 345), darkGrey, 12, true, false);
}

void TestLayout::controls()
{
    QFETCH(QString, name);
    QWidget *w = fixture->form.findChild<QWidget *>(name);
    QVERIFY2(w, qPrintable(name));
    QTEST(textOf(w), "text");
    QTEST(w->geometry(), "rect");
    QTEST(backOf(w), "back");
    QTEST(w->font().pointSizeF(), "points");
    QTEST(w->font().bold(), "bold");
    QTEST(!w->isHidden(), "visible");
    QTEST(Tag(w), "tag");
}

void TestLayout::scrollBars_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("rect");
    QTest::addColumn<int>("minimum");
    QTest::addColumn<int>("maximum");
    QTest::addColumn<int>("value");
    QTest::newRow("cyclescroll") << "cyclescroll" << twips(9360, 1920, 495, 255) << 0 << 8 << 0;
    QTest::newRow("ledscroll") << "ledscroll" << twips(9360, 2640, 495, 255) << 0 << 3 << 0;
    QTest::newRow("pprscroll") << "pprscroll" << twips(9360, 3360, 495, 255) << 0 << 2 << 0;
    QTest::newRow("conshiftscroll") << "conshiftscroll" << twips(9360, 4080, 495, 255) << -9 << 9
                                    << 0;
    QTest::newRow("maxrpmscroll") << "maxrpmscroll" << twips(9360, 4800, 495, 255) << 0 << 16 << 0;
    QTest::newRow("maxadvancescroll") << "maxadvancescroll" << twips(9360, 5520, 495, 255) << 14
                                      << 35 << 14;
}

void TestLayout::scrollBars()
{
    QFETCH(QString, name);
    auto *bar = fixture->form.findChild<QScrollBar *>(name);
    QVERIFY(bar);
    QTEST(bar->geometry(), "rect");
    QTEST(bar->minimum(), "minimum");
    QTEST(bar->maximum(), "maximum");
    QTEST(bar->value(), "value");
    QCOMPARE(bar->singleStep(), 1);
    QCOMPARE(bar->pageStep(), 1);
    QCOMPARE(bar->orientation(), Qt::Horizontal);
    QVERIFY(bar->isHidden());
    QCOMPARE(Tag(bar), QStringLiteral("0"));
}

void TestLayout::gauges()
{
    DashForm &form = fixture->form;
    QCOMPARE(form.LGauge1->geometry(), twips(360, 1440, 7695, 4995));
    QCOMPARE(form.LGauge1->caption(), QStringLiteral("Torvane"));
    const QStringList captions{"RPM", "ADV", "VOLTS", "1&2", "3&4"};
    const double scales[][2] = {{0, 3600}, {20, 45}, {0, 18}, {0, 100}, {0, 100}};
    for (int i = 0; i < 5; ++i) {
        QCOMPARE(form.LGauge1->pointerCaption(i), captions[i]);
        QCOMPARE(form.LGauge1->pointerScaleMinimum(i), scales[i][0]);
        QCOMPARE(form.LGauge1->pointerScaleMaximum(i), scales[i][1]);
    }
    QCOMPARE(form.LGauge1->pointerLegend(3), QStringLiteral("SHORT"));
    QCOMPARE(form.LGauge1->pointerLegend(4), QStringLiteral("OPEN"));

    QCOMPARE(form.AGauge2->geometry(), twips(840, 2040, 6735, 3855));
    QCOMPARE(form.AGauge2->caption(), QStringLiteral("PROP ANGLE"));
    QVERIFY(form.AGauge2->isFullCircle());
    QCOMPARE(form.AGauge2->scaleMaximum(), 360.0);
    QCOMPARE(Tag(form.AGauge2), QStringLiteral("0"));
    // The propeller dial is drawn over the bars.
    QVERIFY(form.children().indexOf(form.AGauge2) > form.children().indexOf(form.LGauge1));

    QCOMPARE(form.rpmdial->geometry(), twips(360, 12480, 2655, 2175));
    QCOMPARE(form.rpmdial->scaleMaximum(), 3500.0);
    QCOMPARE(form.voltsdial->geometry(), twips(3120, 12480, 2535, 2175));
    QCOMPARE(form.voltsdial->scaleMaximum(), 18.0);
    // Below the client area: never seen, but their Tags count polls.
    for (QWidget *dial : {static_cast<QWidget *>(form.rpmdial), static_cast<QWidget *>(form.voltsdial)}) {
        QVERIFY(!form.rect().intersects(dial->geometry()));
        QCOMPARE(Tag(dial), QStringLiteral("2"));
    }
}

void TestLayout::timers()
{
    const struct {
        QTimer *timer;
        int interval;
        bool running;
    } expected[] = {{fixture->form.Timer1, 300, false},
                    {fixture->form.Timer2, 10, true},
                    {fixture->form.Timer3, 60, true},
                    {fixture->form.Timer4, 500, false}};
    for (const auto &e : expected) {
        QCOMPARE(e.timer->interval(), e.interval);
        QCOMPARE(e.timer->isActive(), e.running);
    }
}

void TestLayout::everyControlIsNamedForAccessibility()
{
    const QList<QWidget *> controls =
        fixture->form.findChildren<QWidget *>(Qt::FindDirectChildrenOnly);
    QCOMPARE(controls.size(), 48);
    for (QWidget *w : controls) {
        QVERIFY(!w->objectName().isEmpty());
        QCOMPARE(w->accessibleName(), w->objectName());
        QVERIFY2(w->property("Tag").isValid(), qPrintable(w->objectName()));
    }
    QCOMPARE(fixture->form.accessibleName(), QStringLiteral("dashform"));
}

void TestLayout::renders()
{
    const QImage image = fixture->form.grab().toImage();
    QCOMPARE(image.size(), fixture->form.size() * image.devicePixelRatio());
    const QString path = qEnvironmentVariable("TORVANE_SCREENSHOT");
    if (!path.isEmpty())
        image.save(path);
}

QTEST_MAIN(TestLayout)
#include "test_layout.moc"
