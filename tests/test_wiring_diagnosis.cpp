// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/link_fixture.h"

#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QtTest>

using namespace std::chrono_literals;

namespace {

enum class Cable { Silent, Loopback, WrongSpeed };

// Bytes a unit talking at twice the console's speed leaves on its receiver:
// no line end among them.
const QByteArray misread = QByteArray::fromHex("e6f8801e00fe98");

// Runs the link as its timers would for `span`, with the cable answering
// what went out.
void waitOnCable(LinkFixture &f, Cable cable, std::chrono::milliseconds span)
{
    for (auto elapsed = 0ms; elapsed < span; elapsed += std::chrono::milliseconds(UnitLink::pumpMs)) {
        f.advance(std::chrono::milliseconds(UnitLink::pumpMs));
        const qsizetype before = f.port->writes.size();
        f.link.transmitNext();
        if (elapsed.count() % UnitLink::handshakeRetryMs < UnitLink::pumpMs)
            f.link.retryHandshake();
        for (qsizetype i = before; i < f.port->writes.size(); ++i) {
            if (cable == Cable::Loopback)
                f.receive(f.port->writes[i]);
            if (cable == Cable::WrongSpeed)
                f.receive(misread);
        }
        f.link.checkWiring();
    }
}

} // namespace

class TestWiringDiagnosis : public QObject {
    Q_OBJECT
private slots:
    void cableTellsWhatIsWrong_data();
    void cableTellsWhatIsWrong();
    void unitAnsweringClearsHint_data();
    void unitAnsweringClearsHint();
    void echoingAdapterStillConnects();
    void hintFollowsTheCable();
    void closedPortGivesNoHint();
    void windowShowsHintBelowItsControls();
    void stderrLines_data();
    void stderrLines();
};

void TestWiringDiagnosis::cableTellsWhatIsWrong_data()
{
    QTest::addColumn<Cable>("cable");
    QTest::addColumn<WiringHint>("hint");
    QTest::newRow("unpowered or swapped") << Cable::Silent << WiringHint::NothingHeard;
    QTest::newRow("loopback") << Cable::Loopback << WiringHint::OwnCommandsBack;
    QTest::newRow("wrong speed") << Cable::WrongSpeed << WiringHint::NoLineUnderstood;
}

void TestWiringDiagnosis::cableTellsWhatIsWrong()
{
    QFETCH(Cable, cable);
    LinkFixture f;
    QSignalSpy changes(&f.link, &UnitLink::wiringHintChanged);
    f.link.openPort(2);
    waitOnCable(f, cable, 4900ms);
    QCOMPARE(f.link.wiringHint(), WiringHint::None);
    waitOnCable(f, cable, 1000ms);
    QTEST(f.link.wiringHint(), "hint");
    QCOMPARE(changes.size(), 1);
    // The console goes on asking, and says what it waits for as before.
    QCOMPARE(f.link.status(), QStringLiteral("Waiting for connection - Port 2"));
    QVERIFY(f.link.retryingHandshake());
    QCOMPARE(f.link.phase(), LinkPhase::WaitingForUnit);
}

void TestWiringDiagnosis::unitAnsweringClearsHint_data()
{
    QTest::addColumn<QByteArray>("answer");
    QTest::addColumn<LinkPhase>("phase");
    QTest::newRow("stream stopped") << QByteArray("/I0\r") << LinkPhase::WaitingForUnit;
    QTest::newRow("identified") << QByteArray("u21\r") << LinkPhase::ReadingSettings;
}

void TestWiringDiagnosis::unitAnsweringClearsHint()
{
    QFETCH(QByteArray, answer);
    LinkFixture f;
    f.link.openPort(1);
    waitOnCable(f, Cable::Silent, 6s);
    QCOMPARE(f.link.wiringHint(), WiringHint::NothingHeard);
    f.receive(answer);
    QCOMPARE(f.link.wiringHint(), WiringHint::None);
    QTEST(f.link.phase(), "phase");
}

// An adapter that echoes in front of a live unit: the echoed "/I0" is not
// the unit's acknowledgement, the one after it is, and the unit connects.
void TestWiringDiagnosis::echoingAdapterStillConnects()
{
    LinkFixture f;
    f.link.openPort(1);
    waitOnCable(f, Cable::Loopback, 6s);
    QCOMPARE(f.link.wiringHint(), WiringHint::OwnCommandsBack);
    f.receive("/*\r");
    f.receive("/I0\r");
    QCOMPARE(f.link.status(), QStringLiteral("Waiting for connection - Port 1"));
    QVERIFY(f.link.retryingHandshake());
    f.receive("/I0\r");
    QCOMPARE(f.link.status(), QString());
    f.receive("/u\ru21\r");
    QCOMPARE(f.link.phase(), LinkPhase::ReadingSettings);
    QCOMPARE(f.link.wiringHint(), WiringHint::None);
}

// Judged on the last few seconds: a cable fixed or changed changes the hint.
void TestWiringDiagnosis::hintFollowsTheCable()
{
    LinkFixture f;
    f.link.openPort(1);
    waitOnCable(f, Cable::Loopback, 6s);
    QCOMPARE(f.link.wiringHint(), WiringHint::OwnCommandsBack);
    waitOnCable(f, Cable::Silent, 6s);
    QCOMPARE(f.link.wiringHint(), WiringHint::NothingHeard);
    waitOnCable(f, Cable::WrongSpeed, 1s);
    QCOMPARE(f.link.wiringHint(), WiringHint::NoLineUnderstood);
}

void TestWiringDiagnosis::closedPortGivesNoHint()
{
    LinkFixture f;
    f.link.openPort(1);
    waitOnCable(f, Cable::Silent, 6s);
    QCOMPARE(f.link.wiringHint(), WiringHint::NothingHeard);
    f.port->vanish();
    QCOMPARE(f.link.wiringHint(), WiringHint::None);
    f.link.openPort(1);
    waitOnCable(f, Cable::Silent, 6s);
    f.link.reset();
    QCOMPARE(f.link.wiringHint(), WiringHint::None);
}

void TestWiringDiagnosis::windowShowsHintBelowItsControls()
{
    WindowFixture f;
    ConsoleWindow &w = f.window;
    const QSize normal = w.size();
    auto *strip = w.findChild<QLabel *>("wiringhint");
    QVERIFY(strip);
    QVERIFY(strip->isHidden());

    f.link.openPort(1);
    waitOnCable(f, Cable::Silent, 6s);
    QVERIFY(!strip->isHidden());
    QCOMPARE(strip->text(), wiringHintText(WiringHint::NothingHeard));
    QCOMPARE(w.statusBox->toolTip(), strip->text());
    QCOMPARE(w.statusBox->text(), QStringLiteral("Waiting for connection - Port 1"));
    QVERIFY(w.rect().contains(strip->geometry()));
    for (QWidget *control : w.findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
        if (control != strip && control->isVisibleTo(&w))
            QVERIFY2(!control->geometry().intersects(strip->geometry()),
                     qPrintable(control->objectName()));
    if (const QString path = qEnvironmentVariable("TORVANE_SCREENSHOT_WIRING"); !path.isEmpty())
        w.grab().save(path);

    f.receive("u21\r");
    QVERIFY(strip->isHidden());
    QCOMPARE(w.size(), normal);
    QVERIFY(w.statusBox->toolTip().isEmpty());
}

void TestWiringDiagnosis::stderrLines_data()
{
    QTest::addColumn<WiringHint>("hint");
    QTest::addColumn<LinkPhase>("phase");
    QTest::addColumn<QString>("line");
    QTest::newRow("hint") << WiringHint::OwnCommandsBack << LinkPhase::WaitingForUnit
                          << "wiring: " + wiringHintText(WiringHint::OwnCommandsBack);
    QTest::newRow("unit answers") << WiringHint::None << LinkPhase::ReadingSettings
                                  << "wiring: the unit answers";
    QTest::newRow("port lost") << WiringHint::None << LinkPhase::Lost << QString();
    QTest::newRow("reset") << WiringHint::None << LinkPhase::Closed << QString();
}

void TestWiringDiagnosis::stderrLines()
{
    QFETCH(WiringHint, hint);
    QFETCH(LinkPhase, phase);
    QTEST(wiringChangeLine(hint, phase), "line");
}

QTEST_MAIN(TestWiringDiagnosis)
#include "test_wiring_diagnosis.moc"
