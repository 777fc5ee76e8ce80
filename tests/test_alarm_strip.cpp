// SPDX-License-Identifier: GPL-3.0-or-later
#include "gauges/gauge_animation.h"
#include "record/exceedance_watch.h"
#include "support/link_fixture.h"
#include "ui/alarm_strip.h"
#include "ui/color_button.h"
#include "ui/console_alarms.h"
#include "ui/limits_dialog.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QtTest>

using namespace std::chrono_literals;

namespace {

QByteArray engineAt(int rpm)
{
    return QStringLiteral("=%1%2000082230000\r")
        .arg(rpm, 4, 16, QLatin1Char('0'))
        .arg(30, 2, 16, QLatin1Char('0'))
        .toUpper()
        .toLatin1();
}

struct AlarmFixture : WindowFixture {
    ExceedanceWatch watch{link, limits()};
    ConsoleAlarms alarms{window, watch, QString()};
    AlarmAnnunciator &annunciator = alarms.annunciator();
    int tones = 0;

    AlarmFixture()
    {
        annunciator.soundTone = [this] { ++tones; };
        connectAndReadOut(*this);
    }

    static EngineLimits limits()
    {
        EngineLimits limits;
        limits.of(Figure::Rpm).highCaution = Limit{2800, 1.0};
        limits.of(Figure::Rpm).highAlarm = Limit{3000, 1.0};
        return limits;
    }

    // The unit streams `rpm` for `span`, a line every 100 ms, the pump
    // ticking between them.
    void stream(int rpm, std::chrono::milliseconds span)
    {
        for (auto t = 0ms; t < span; t += 100ms) {
            receive(engineAt(rpm));
            advance(100ms);
            link.transmitNext();
        }
    }

    QStringList shown() const
    {
        QStringList texts;
        for (const AlarmLine &line : window.alarmStrip->shownLines())
            texts << line.text;
        return texts;
    }
};

} // namespace

class AlarmStripTest : public QObject {
    Q_OBJECT
private slots:
    void alarmFlashesUntilAcknowledgedThenGoes()
    {
        AlarmFixture f;
        const int formHeight = f.window.height();
        f.stream(3200, 900ms);
        QVERIFY(f.shown().isEmpty());
        f.stream(3200, 400ms);
        QCOMPARE(f.shown().size(), 2);
        QVERIFY2(f.shown()[0].startsWith(QLatin1String("ALARM")), qPrintable(f.shown()[0]));
        QVERIFY(f.shown()[0].contains(QLatin1String("RPM 3200")));
        QVERIFY(f.shown()[1].startsWith(QLatin1String("CAUTION")));
        QVERIFY(f.window.alarmStrip->isVisibleTo(&f.window));
        QVERIFY(f.window.height() > formHeight);
        QCOMPARE(f.tones, 1);

        QVERIFY(f.annunciator.unacknowledged());
        f.annunciator.tick();
        QVERIFY(!f.annunciator.lit());
        f.annunciator.tick();
        QVERIFY(f.annunciator.lit());
        for (int i = 0; i < AlarmAnnunciator::ticksBetweenTones; ++i)
            f.annunciator.tick();
        QCOMPARE(f.tones, 2);

        QTest::mouseClick(f.window.alarmStrip, Qt::LeftButton);
        QVERIFY(!f.annunciator.unacknowledged());
        for (int i = 0; i < 3 * AlarmAnnunciator::ticksBetweenTones; ++i) {
            f.annunciator.tick();
            QVERIFY(f.annunciator.lit());
        }
        QCOMPARE(f.tones, 2);
        f.stream(3200, 1000ms);
        QCOMPARE(f.shown().size(), 2);
        // Acknowledged, both lines steady in their own colours.
        const QImage strip = f.window.alarmStrip->grab().toImage();
        const int middle = AlarmStrip::lineHeight / 2;
        QCOMPARE(strip.pixelColor(3, middle), QColor(200, 0, 0));
        QCOMPARE(strip.pixelColor(3, AlarmStrip::lineHeight + middle), QColor(255, 176, 0));
        if (const QString path = qEnvironmentVariable("TORVANE_SCREENSHOT_ALARMS"); !path.isEmpty()) {
            for (int i = 0; i < 500; ++i)
                f.window.gaugeAnimation().step();
            QVERIFY(f.window.grab().save(path));
        }

        // The room stays a while, so that a figure hovering at its limit
        // does not make the window jump.
        const int withAlarms = f.window.height();
        f.stream(2500, 300ms);
        QVERIFY(f.shown().isEmpty());
        QCOMPARE(f.window.height(), withAlarms);
        f.stream(3200, 1300ms);
        QCOMPARE(f.shown().size(), 2);
        QCOMPARE(f.window.height(), withAlarms);
        f.stream(2500, 300ms);
        f.window.alarmStrip->releaseUnusedRoom();
        QVERIFY(!f.window.alarmStrip->isVisibleTo(&f.window));
        QCOMPARE(f.window.height(), formHeight);
    }

    void cautionAloneIsSilentAndMutedAlarmToo()
    {
        AlarmFixture f;
        f.stream(2900, 1500ms);
        QCOMPARE(f.shown().size(), 1);
        QCOMPARE(f.tones, 0);
        f.stream(2500, 300ms);

        auto *mute = f.window.findChild<QAction *>(QStringLiteral("muteAlarmsAction"));
        QVERIFY(mute);
        mute->trigger();
        f.stream(3200, 1500ms);
        QCOMPARE(f.shown().size(), 2);
        QCOMPARE(f.tones, 0);
    }

    void escapeAcknowledges()
    {
        AlarmFixture f;
        f.window.show();
        QVERIFY(QTest::qWaitForWindowActive(&f.window));
        f.window.storeButton->setFocus();
        f.stream(3200, 1500ms);
        QVERIFY(f.annunciator.unacknowledged());
        QTest::keyClick(&f.window, Qt::Key_Escape);
        QVERIFY(!f.annunciator.unacknowledged());
        f.drainQueue();
        for (const QByteArray &written : f.port->writes)
            QVERIFY(!written.contains("/W"));
        QCOMPARE(f.shown().size(), 2);
    }

    // The dialog refuses what the file reader refuses, and writes only the
    // figures that differ from the defaults.
    void limitsDialogSavesOnlyChanges()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("limits.txt"));
        const EngineLimits defaults = defaultLimits(3584, 42);
        LimitsDialog dialog(defaults, defaults, path);
        dialog.editor(Figure::Rpm, 2)->setText(QStringLiteral("3700"));
        QVERIFY(!dialog.save());
        QVERIFY(!dialog.findChild<QLabel *>(QStringLiteral("limitsProblem"))->text().isEmpty());
        QVERIFY(!QFile::exists(path));

        dialog.editor(Figure::Rpm, 2)->setText(QStringLiteral("3300"));
        dialog.editor(Figure::Temperature, 3)->setText(QStringLiteral("130"));
        QVERIFY(dialog.save());
        const LimitsFileReading reading = readLimitsFile(path);
        QVERIFY2(reading.file, qPrintable(reading.error));
        const EngineLimits read = reading.file->over(defaultLimits(3000, 40));
        QCOMPARE(read.of(Figure::Rpm).highCaution->value, 3300.0);
        QCOMPARE(read.of(Figure::Rpm).highAlarm->value, 3584.0);
        QCOMPARE(read.of(Figure::Temperature).highAlarm->value, 130.0);
        // Not written: still follows the unit.
        QCOMPARE(read.of(Figure::Advance).highAlarm->value, 40.0);
    }
};

QTEST_MAIN(AlarmStripTest)
#include "test_alarm_strip.moc"
