// SPDX-License-Identifier: GPL-3.0-or-later
#include "gauges/gauge_animation.h"
#include "support/link_fixture.h"
#include "ui/wiring_window.h"

#include <QApplication>
#include <QLineEdit>
#include <QtTest>
#include <algorithm>

class TestLifecycle : public QObject {
    Q_OBJECT
private slots:
    void startState();
    void closingWindowClosesPort();
    void closingWindowSendsNothing();
    void pictureWindowOutlivesMainWindow();
};

void TestLifecycle::startState()
{
    WindowFixture f;
    QCOMPARE(f.window.statusBox->text(), QString());
    QVERIFY(!f.port->isOpen());
    QVERIFY(f.window.gaugeAnimation().isRunning());
    QVERIFY(!f.link.polling());
    QVERIFY(!f.link.retryingHandshake());
    QCOMPARE(f.link.phase(), LinkPhase::Closed);
    const UnitState &unit = f.link.state();
    QVERIFY(!unit.engineRunning);
    QCOMPARE(unit.advanceMode, AdvanceMode::Automatic);
    QVERIFY(!f.link.settingsRead());
    QVERIFY(f.link.queued().isEmpty());
}

void TestLifecycle::closingWindowClosesPort()
{
    WindowFixture f;
    f.window.show();
    f.window.clickPort(3);
    QVERIFY(f.window.close());
    QVERIFY(!f.port->isOpen());
    QCOMPARE(f.port->closeCount, 1);

    // Closing with no port open does not try to close one.
    WindowFixture idle;
    idle.window.show();
    QVERIFY(idle.window.close());
    QCOMPARE(idle.port->closeCount, 0);
}

// Not even what was queued, nor what the timers would queue next.
void TestLifecycle::closingWindowSendsNothing()
{
    WindowFixture f;
    f.window.show();
    f.connect();
    f.readOut();
    f.link.pollNext();
    QVERIFY(!f.link.queued().isEmpty());
    const qsizetype before = f.port->writes.size();
    f.window.close();
    for (int i = 0; i < 10; ++i) {
        f.link.pollNext();
        f.link.retryHandshake();
        f.drainQueue();
    }
    QCOMPARE(f.port->writes.size(), before);
}

void TestLifecycle::pictureWindowOutlivesMainWindow()
{
    WindowFixture f;
    f.window.show();
    f.window.showWiring();
    QPointer<WiringWindow> picture = f.window.wiringWindow;
    QVERIFY(picture && picture->isVisible());

    f.window.close();
    QCoreApplication::processEvents();
    QVERIFY(picture && picture->isVisible());
    // It is a window of its own, so the program runs on until it closes too.
    QVERIFY(picture->isWindow() && !picture->parentWidget());
    picture->close();
}

QTEST_MAIN(TestLifecycle)
#include "test_lifecycle.moc"
