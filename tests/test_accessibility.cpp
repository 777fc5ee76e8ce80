// SPDX-License-Identifier: GPL-3.0-or-later
// What a screen reader finds in each window: a name in words for every
// control, the gauges' figures as text, and the news of a changed status,
// hint or alarm.

#include "gauges/gauge_animation.h"
#include "gauges/linear_gauge.h"
#include "gauges/angular_gauge.h"
#include "support/link_fixture.h"
#include "ui/alarm_strip.h"
#include "ui/limits_dialog.h"
#include "ui/window_title.h"
#include "ui/wiring_window.h"
#include "viewer/recording_viewer.h"
#include "viewer/strip_chart.h"

#include <QAccessible>
#include <private/qguiapplication_p.h>
#include <qpa/qplatformaccessibility.h>
#include <qpa/qplatformintegration.h>
#include <QAbstractItemView>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

using namespace std::chrono_literals;

namespace {

// Why a screen reader would stumble on this name, or nothing: no name, or an
// identifier ("Label16", "cyclescroll", "comparisonTable", "cursor_rpm").
QString nameProblem(const QString &name, const QString &objectName)
{
    // Digits glued to a lower-case letter ("COM1" is how people write it),
    // camelCase, snake_case.
    static const QRegularExpression identifier(QStringLiteral("^\\S*([a-z]\\d|[a-z][A-Z]|_)\\S*$"));
    if (name.trimmed().isEmpty())
        return QStringLiteral("no name");
    if (identifier.match(name).hasMatch())
        return QStringLiteral("an identifier: ") + name;
    if (name == objectName && !name.contains(QLatin1Char(' ')))
        return QStringLiteral("its objectName: ") + name;
    return {};
}

// Plumbing Qt makes for itself (scroll area viewports and bars) and what an
// item view shows through its own cells.
bool madeByQt(const QObject *object, const QWidget &window)
{
    for (const QObject *o = object; o && o != &window; o = o->parent()) {
        if (o->objectName().startsWith(QLatin1String("qt_")))
            return true;
        if (o != object && qobject_cast<const QAbstractItemView *>(o))
            return true;
        if (auto *w = qobject_cast<const QWidget *>(o); w && w->isWindow())
            return true;
    }
    return false;
}

QString describe(QAccessibleInterface *iface)
{
    const QObject *object = iface->object();
    return QStringLiteral("%1 \"%2\"")
        .arg(object ? QLatin1String(object->metaObject()->className()) : QLatin1String("item"),
             object ? object->objectName() : QString());
}

// Item views and lists name their items by their own text; a combo box's
// list is its popup's.
bool speaksForItself(QAccessible::Role role)
{
    switch (role) {
    case QAccessible::Cell:
    case QAccessible::Row:
    case QAccessible::Column:
    case QAccessible::RowHeader:
    case QAccessible::ColumnHeader:
    case QAccessible::ListItem:
    case QAccessible::TreeItem:
        return true;
    default:
        return false;
    }
}

void walk(QAccessibleInterface *iface, const QWidget &window, QStringList &problems)
{
    if (!iface || speaksForItself(iface->role()))
        return;
    if (!madeByQt(iface->object(), window)) {
        const QString objectName = iface->object() ? iface->object()->objectName() : QString();
        if (const QString problem = nameProblem(iface->text(QAccessible::Name), objectName);
            !problem.isEmpty())
            problems << describe(iface) + QStringLiteral(": ") + problem;
    }
    if (iface->role() == QAccessible::ComboBox)
        return;
    for (int i = 0; i < iface->childCount(); ++i)
        walk(iface->child(i), window, problems);
}

// The accessibility tree as a screen reader walks it, then every widget,
// hidden ones included.
QStringList unnamedControls(QWidget &window)
{
    QStringList problems;
    walk(QAccessible::queryAccessibleInterface(&window), window, problems);
    for (QWidget *w : window.findChildren<QWidget *>()) {
        if (madeByQt(w, window))
            continue;
        const QString name = QAccessible::queryAccessibleInterface(w)->text(QAccessible::Name);
        if (const QString problem = nameProblem(name, w->objectName()); !problem.isEmpty())
            problems << describe(QAccessible::queryAccessibleInterface(w)) + QStringLiteral(": ")
                            + problem;
    }
    problems.removeDuplicates();
    return problems;
}

QString writeRecording(const QTemporaryDir &dir)
{
    QFile file(dir.filePath(QStringLiteral("flight.csv")));
    file.open(QIODevice::WriteOnly);
    file.write("time,seconds,rpm,advance_deg,volts,temp_c,pair12,pair34,prop_deg,line\r\n");
    for (int tenth = 0; tenth < 100; ++tenth)
        file.write("2026-12-07T14:00:" + QByteArray::number(tenth / 10).rightJustified(2, '0')
                   + '.' + QByteArray::number(tenth % 10) + "00+01:00,"
                   + QByteArray::number(tenth / 10.0, 'f', 3) + ",2400,32,14,60,60,75,90,=0000\r\n");
    return file.fileName();
}

// What assistive technology was told, by whom.
struct HeardEvents {
    static inline QList<QPair<QObject *, QAccessible::Event>> events;
    static void hear(QAccessibleEvent *event) { events.append({event->object(), event->type()}); }

    HeardEvents()
    {
        events.clear();
        QAccessible::installUpdateHandler(&HeardEvents::hear);
        // Qt drops every event while no assistive technology listens.
        QGuiApplicationPrivate::platformIntegration()->accessibility()->setActive(true);
    }
    ~HeardEvents()
    {
        QGuiApplicationPrivate::platformIntegration()->accessibility()->setActive(false);
        QAccessible::installUpdateHandler(nullptr);
    }

    int count(QObject *object, QAccessible::Event type) const
    {
        return int(std::count(events.begin(), events.end(), qMakePair(object, type)));
    }
};

// The link's timers, for `span`, on a cable that carries nothing back.
void waitOnSilentCable(LinkFixture &f, std::chrono::milliseconds span)
{
    for (auto elapsed = 0ms; elapsed < span; elapsed += std::chrono::milliseconds(UnitLink::pumpMs)) {
        f.advance(std::chrono::milliseconds(UnitLink::pumpMs));
        f.link.transmitNext();
        if (elapsed.count() % UnitLink::handshakeRetryMs < UnitLink::pumpMs)
            f.link.retryHandshake();
        f.link.checkWiring();
    }
}

enum class Change { Status, WiringHint, Alarm, AlarmUnderWay, TitleMarker };

} // namespace

class TestAccessibility : public QObject {
    Q_OBJECT
private slots:
    void everyControlHasANameInWords_data();
    void everyControlHasANameInWords();
    void gaugeTextFollowsItsTargets_data();
    void gaugeTextFollowsItsTargets();
    void changesAreAnnounced_data();
    void changesAreAnnounced();
};

void TestAccessibility::everyControlHasANameInWords_data()
{
    QTest::addColumn<QString>("window");
    QTest::newRow("console") << QStringLiteral("console");
    QTest::newRow("wiring") << QStringLiteral("wiring");
    QTest::newRow("viewer") << QStringLiteral("viewer");
    QTest::newRow("limits") << QStringLiteral("limits");
}

void TestAccessibility::everyControlHasANameInWords()
{
    QFETCH(QString, window);
    WindowFixture f;
    QTemporaryDir dir;
    std::unique_ptr<QWidget> shown;
    if (window == QLatin1String("console")) {
        // The alarm strip with a line, as it is when it shows.
        f.window.showAlarms({AlarmLine{LimitLevel::Alarm, QStringLiteral("ALARM  RPM 3120")}},
                            true);
        QCOMPARE(unnamedControls(f.window), QStringList());
        return;
    }
    if (window == QLatin1String("wiring"))
        shown = std::make_unique<WiringWindow>();
    if (window == QLatin1String("limits"))
        shown = std::make_unique<LimitsDialog>(defaultLimits(std::nullopt, std::nullopt),
                                               defaultLimits(std::nullopt, std::nullopt),
                                               dir.filePath(QStringLiteral("limits.txt")));
    if (window == QLatin1String("viewer")) {
        QString error;
        auto *viewer = RecordingViewer::open(writeRecording(dir), error);
        QVERIFY2(viewer, qPrintable(error));
        viewer->setAttribute(Qt::WA_DeleteOnClose, false);
        viewer->stripChart()->setCursorSeconds(5);
        shown.reset(viewer);
    }
    shown->show();
    QCOMPARE(unnamedControls(*shown), QStringList());
}

void TestAccessibility::gaugeTextFollowsItsTargets_data()
{
    QTest::addColumn<FigureValues>("figures");
    QTest::addColumn<QString>("bars");
    QTest::addColumn<QString>("propeller");
    QTest::newRow("nothing reported")
        << FigureValues{}
        << QStringLiteral("Engine speed no reading, advance no reading, bus volts no reading, "
                          "coils 1&2 no reading, coils 3&4 no reading")
        << QStringLiteral("Propeller angle no reading");
    QTest::newRow("engine running")
        << FigureValues{{Figure::Rpm, 2400}, {Figure::Advance, 32}, {Figure::Volts, 14},
                        {Figure::Pair12, 60}, {Figure::Pair34, 75}, {Figure::Temperature, 80}}
        << QStringLiteral("Engine speed 2400 RPM, advance 32 degrees, bus 14 volts, "
                          "coils 1&2 60, coils 3&4 75")
        << QStringLiteral("Propeller angle no reading");
    QTest::newRow("engine stopped, propeller read")
        << FigureValues{{Figure::Rpm, 0}, {Figure::Advance, 20}, {Figure::Volts, 12},
                        {Figure::Pair12, 0}, {Figure::Pair34, 0}, {Figure::Propeller, 135}}
        << QStringLiteral("Engine speed 0 RPM, advance 20 degrees, bus 12 volts, "
                          "coils 1&2 0, coils 3&4 0")
        << QStringLiteral("Propeller angle 135 degrees");
}

// The text is the figures the needles head for, told once per change: the
// sweep toward them changes nothing a screen reader hears.
void TestAccessibility::gaugeTextFollowsItsTargets()
{
    QFETCH(FigureValues, figures);
    QFETCH(QString, propeller);
    WindowFixture f;
    GaugeAnimation &animation = f.window.gaugeAnimation();
    animation.setTargets(FigureValues{{Figure::Rpm, 1234}});

    // A screen reader that starts finds the reading of the moment.
    HeardEvents heard;
    QVERIFY(f.window.engineBars->accessibleDescription().startsWith(
        QLatin1String("Engine speed 1234 RPM, advance no reading")));
    HeardEvents::events.clear();
    animation.setTargets(figures);
    for (int i = 0; i < 50; ++i)
        animation.step();
    animation.setTargets(figures);
    QTEST(f.window.engineBars->accessibleDescription(), "bars");
    QCOMPARE(f.window.propellerDial->accessibleDescription(), propeller);
    QCOMPARE(heard.count(f.window.engineBars, QAccessible::DescriptionChanged), 1);
    const bool propellerRead = !propeller.endsWith(QLatin1String("no reading"));
    QCOMPARE(heard.count(f.window.propellerDial, QAccessible::DescriptionChanged),
             propellerRead ? 1 : 0);
}

void TestAccessibility::changesAreAnnounced_data()
{
    QTest::addColumn<Change>("change");
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QList<QAccessible::Event>>("told");
    using Events = QList<QAccessible::Event>;
    QTest::newRow("status") << Change::Status << QStringLiteral("statusbox")
                            << QStringLiteral("Status") << Events{QAccessible::TextUpdated};
    QTest::newRow("wiring hint")
        << Change::WiringHint << QStringLiteral("wiringhint") << QStringLiteral("Wiring hint")
        << Events{QAccessible::DescriptionChanged, QAccessible::Alert};
    QTest::newRow("alarm") << Change::Alarm << QStringLiteral("alarmstrip")
                           << QStringLiteral("Engine alarms")
                           << Events{QAccessible::DescriptionChanged, QAccessible::Alert};
    // Its figures and time change with each flash: heard when it begins only.
    QTest::newRow("alarm under way") << Change::AlarmUnderWay << QStringLiteral("alarmstrip")
                                     << QStringLiteral("Engine alarms")
                                     << Events{QAccessible::Alert};
    QTest::newRow("recording failed in the title")
        << Change::TitleMarker << QStringLiteral("dashform") << QStringLiteral("Torvane Data Link")
        << Events{QAccessible::DescriptionChanged, QAccessible::Alert};
}

void TestAccessibility::changesAreAnnounced()
{
    QFETCH(Change, change);
    QFETCH(QString, control);
    QFETCH(QList<QAccessible::Event>, told);
    WindowFixture f;
    QWidget *widget = control == f.window.objectName() ? &f.window
                                                       : f.window.findChild<QWidget *>(control);
    QVERIFY(widget);
    f.window.show();
    f.link.openPort(1);

    HeardEvents heard;
    QString expected;
    switch (change) {
    case Change::Status:
        f.link.openPort(2);
        expected = f.window.statusBox->text();
        break;
    case Change::WiringHint:
        waitOnSilentCable(f, 6s);
        expected = f.window.wiringHintStrip->text();
        break;
    case Change::Alarm:
        expected = QStringLiteral("ALARM  RPM 3120: above 3000");
        f.window.showAlarms({AlarmLine{LimitLevel::Alarm, expected}}, true);
        break;
    case Change::AlarmUnderWay:
        for (const char *text : {"ALARM  RPM 3120: above 3000 for 0 s",
                                 "ALARM  RPM 3150: above 3000 for 0 s",
                                 "ALARM  RPM 3180: above 3000 for 1 s"}) {
            expected = QLatin1String(text);
            f.window.showAlarms({AlarmLine{LimitLevel::Alarm, expected}},
                                expected.endsWith(QLatin1String("0 s")));
        }
        break;
    case Change::TitleMarker:
        // As the recorder's state sets them, the second time changing nothing.
        for (int i = 0; i < 2; ++i) {
            setTitleMarker(f.window, TitleMarker::Recording, false);
            setTitleMarker(f.window, TitleMarker::RecordingFailed, true);
        }
        expected = QStringLiteral("Recording failed");
        break;
    }
    QVERIFY(!expected.isEmpty());
    QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(widget);
    QTEST(iface->text(QAccessible::Name), "name");
    // What the screen reader reads after the name.
    const QString read = change == Change::Status ? iface->text(QAccessible::Value)
                                                  : iface->text(QAccessible::Description);
    QCOMPARE(read, expected);
    for (const QAccessible::Event event : told)
        QVERIFY2(heard.count(widget, event) == 1, qPrintable(QString::number(event, 16)));
}

QTEST_MAIN(TestAccessibility)
#include "test_accessibility.moc"
