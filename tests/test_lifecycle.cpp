#include "support/form_fixture.h"
#include "ui/schmatic.h"

#include <QApplication>
#include <QLineEdit>
#include <QTimer>
#include <QtTest>

class TestLifecycle : public QObject {
    Q_OBJECT
private slots:
    void startState();
    void loadClosesOpenPort();
    void closingWindowClosesPort();
    void closingWindowSendsNothing();
    void pictureWindowOutlivesMainWindow();
};

void TestLifecycle::startState()
{
    FormFixture f;
    QCOMPARE(f.form.statusbox->text(), QString());
    QVERIFY(!f.port->PortOpen());
    QVERIFY(f.form.Timer2->isActive());
    QVERIFY(f.form.Timer3->isActive());
    QVERIFY(!f.form.Timer1->isActive());
    QVERIFY(!f.form.Timer4->isActive());
    QVERIFY(!f.form.linkUp && !f.form.engineRunning && !f.form.manualMode);
    for (QObject *counter : std::initializer_list<QObject *>{
             f.form.revdata, f.form.conshiftdata, f.form.cycledata, f.form.tempdata,
             f.form.maxtempdata, f.form.voltsdial, f.form.rpmdial, f.form.leddata, f.form.pprdata,
             f.form.maxrpmdata, f.form.maxadvancedata})
        QCOMPARE(Tag(counter), QStringLiteral("2"));
    QVERIFY(f.form.txQueue.isEmpty() && f.form.rxBuffer.isEmpty());
}

void TestLifecycle::loadClosesOpenPort()
{
    FormFixture f;
    f.form.com1_Click();
    f.form.manualMode = true;
    f.form.Form_Load();
    QVERIFY(!f.port->PortOpen());
    QCOMPARE(f.form.statusbox->text(), QString());
    QCOMPARE(Tag(&f.form), QStringLiteral("0"));
    QVERIFY(!f.form.manualMode);
    // Timers keep whatever state they have.
    QVERIFY(f.form.Timer4->isActive());
}

void TestLifecycle::closingWindowClosesPort()
{
    FormFixture f;
    f.form.show();
    f.form.com3_Click();
    QVERIFY(f.form.close());
    QVERIFY(!f.port->PortOpen());
    QCOMPARE(f.port->closeCount, 1);

    // Closing with no port open does not try to close one.
    FormFixture idle;
    idle.form.show();
    QVERIFY(idle.form.close());
    QCOMPARE(idle.port->closeCount, 0);
}

void TestLifecycle::closingWindowSendsNothing()
{
    FormFixture f;
    f.form.show();
    f.form.com1_Click();
    f.form.txQueue.clear();
    f.form.close();
    QVERIFY(f.port->writes.isEmpty());
}

void TestLifecycle::pictureWindowOutlivesMainWindow()
{
    FormFixture f;
    f.form.show();
    f.form.Command4_Click();
    QPointer<Schmatic> picture = f.form.schmatic;
    QVERIFY(picture && picture->isVisible());

    f.form.close();
    QCoreApplication::processEvents();
    QVERIFY(picture && picture->isVisible());
    // It is a window of its own, so the program runs on until it closes too.
    QVERIFY(picture->isWindow() && !picture->parentWidget());
    picture->close();
}

QTEST_MAIN(TestLifecycle)
#include "test_lifecycle.moc"
