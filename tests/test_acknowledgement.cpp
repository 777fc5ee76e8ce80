// SPDX-License-Identifier: GPL-3.0-or-later
#include "gauges/packed_color.h"
#include "support/link_fixture.h"
#include "ui/color_button.h"

#include <QLineEdit>
#include <QScrollBar>
#include <QtTest>

Q_DECLARE_METATYPE(LinkPhase)

class TestAcknowledgement : public QObject {
    Q_OBJECT
private slots:
    void init() { pinLocale(); }
    void setsBoxes_data();
    void setsBoxes();
    void storeTurnsButtonDarkGrey();
    void ledAcknowledgement_data();
    void ledAcknowledgement();
    void streamSwitch_data();
    void streamSwitch();
    void streamOffTakesTheEngineSpeedWithIt();
    void ignoredLines_data();
    void ignoredLines();
    void commaLocaleProduct();
};

// Text boxes set by acknowledgements, with the editors' positions they read.
void TestAcknowledgement::setsBoxes_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("editor");
    QTest::addColumn<int>("position");
    QTest::addColumn<QString>("text");

    QTest::newRow("/D5") << QByteArray("/D5\r") << "cycledata" << "" << 0 << "5";
    QTest::newRow("/D12 shows one digit") << QByteArray("/D12\r") << "cycledata" << "" << 0 << "1";
    QTest::newRow("/D then CR shows CR") << QByteArray("/D\r") << "cycledata" << "" << 0 << "\r";
    QTest::newRow("/T1") << QByteArray("/T1\r") << "pprdata" << "" << 0 << "1";
    QTest::newRow("/N at 14") << QByteArray("/N14\r") << "maxadvancedata" << "maxadvancescroll"
                              << 14 << "19.6";
    QTest::newRow("/N reads the editor") << QByteArray("/N\r") << "maxadvancedata"
                                         << "maxadvancescroll" << 35 << "49";
    QTest::newRow("/M at 16") << QByteArray("/M16\r") << "maxrpmdata" << "maxrpmscroll" << 16
                              << "4096";
    QTest::newRow("/C at -9") << QByteArray("/C-9\r") << "conshiftdata" << "conshiftscroll" << -9
                              << "-12.6";
    QTest::newRow("/C at 0") << QByteArray("/C0\r") << "conshiftdata" << "conshiftscroll" << 0
                             << "0";
}

void TestAcknowledgement::setsBoxes()
{
    QFETCH(QByteArray, line);
    QFETCH(QString, box);
    QFETCH(QString, editor);
    QFETCH(int, position);
    WindowFixture f;
    if (!editor.isEmpty())
        f.window.findChild<QScrollBar *>(editor)->setValue(position);
    f.receive(line);
    QTEST(f.window.findChild<QLineEdit *>(box)->text(), "text");
}

void TestAcknowledgement::storeTurnsButtonDarkGrey()
{
    WindowFixture f;
    f.window.settingRows[int(Setting::StartDelay)].editor->setValue(1);
    QCOMPARE(f.window.storeButton->backColor(), PackedColor::green);
    f.receive("/W1\r");
    QCOMPARE(f.window.storeButton->backColor(), PackedColor::darkGrey);
}

// An LED acknowledgement also answers the read-out's LED question.
void TestAcknowledgement::ledAcknowledgement_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("askedAgain");
    QTest::newRow("/L0") << QByteArray("/L0\r") << "Kill Sw" << false;
    QTest::newRow("/L1") << QByteArray("/L1\r") << "Mode" << false;
    QTest::newRow("/L2") << QByteArray("/L2\r") << "Diag" << false;
    QTest::newRow("/L3") << QByteArray("/L3\r") << "Sensor" << false;
    QTest::newRow("/L7 clears") << QByteArray("/L7\r") << "" << false;
    QTest::newRow("/LX is ignored") << QByteArray("/LX\r") << "before" << true;
    QTest::newRow("/L then CR is ignored") << QByteArray("/L\r") << "before" << true;
}

void TestAcknowledgement::ledAcknowledgement()
{
    QFETCH(QByteArray, line);
    QFETCH(bool, askedAgain);
    WindowFixture f;
    f.connect();
    QLineEdit *box = f.window.settingRows[int(Setting::Led)].box;
    box->setText(QStringLiteral("before"));
    f.receive(line);
    QTEST(box->text(), "text");
    const qsizetype before = f.port->sent().size();
    f.readOut();
    QCOMPARE(f.port->sent().mid(before).contains("/l\r"), askedAgain);
}

// Any stream acknowledgement ends the retry, whichever commands it repeats.
void TestAcknowledgement::streamSwitch_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<bool>("streaming");
    QTest::addColumn<QString>("status");
    QTest::addColumn<LinkPhase>("phase");
    QTest::newRow("/I1 while waiting") << QByteArray("/I1\r") << false << "Stream Mode"
                                       << LinkPhase::WaitingForUnit;
    QTest::newRow("/I0 while streaming") << QByteArray("/I0\r") << true << ""
                                         << LinkPhase::ReadingSettings;
    QTest::newRow("/I then CR") << QByteArray("/I\r") << true << "Connected Comm Port 1"
                                << LinkPhase::Streaming;
    QTest::newRow("/I7") << QByteArray("/I7\r") << false << "Waiting for connection - Port 1"
                         << LinkPhase::WaitingForUnit;
}

void TestAcknowledgement::streamSwitch()
{
    QFETCH(QByteArray, line);
    QFETCH(bool, streaming);
    LinkFixture f;
    if (streaming) {
        f.connect();
        f.readOut();
    } else {
        f.link.openPort(1);
        f.drainQueue();
    }
    QVERIFY(f.link.retryingHandshake());
    f.receive(line);
    QTEST(f.link.status(), "status");
    QTEST(f.link.phase(), "phase");
    QVERIFY(!f.link.retryingHandshake());
    f.link.retryHandshake();
    QVERIFY(f.link.queued().isEmpty());
}

// With the stream off the RPM bar does not go on showing a running engine
// while the link counts it as stopped.
void TestAcknowledgement::streamOffTakesTheEngineSpeedWithIt()
{
    LinkFixture f;
    f.connect();
    f.readOut();
    f.receive("=0BB81E000082231020\r");
    QVERIFY(f.link.state().engineRunning);
    const int16_t volts = f.link.state().figures[Figure::Volts];
    f.receive("/I0\r");
    QVERIFY(!f.link.state().engineRunning);
    QCOMPARE(f.link.state().figures[Figure::Rpm], int16_t(0));
    QCOMPARE(f.link.state().figures[Figure::Volts], volts);
}

void TestAcknowledgement::ignoredLines_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::newRow("/S+") << QByteArray("/S+\r");
    QTest::newRow("/*") << QByteArray("/*\r");
    QTest::newRow("lower-case /w1") << QByteArray("/w1\r");
    QTest::newRow("lone slash") << QByteArray("/\r");
    QTest::newRow("NUL letter") << QByteArray("/\0" "1\r", 4);
}

void TestAcknowledgement::ignoredLines()
{
    QFETCH(QByteArray, line);
    WindowFixture f;
    f.window.clickPort(1);
    f.window.settingRows[int(Setting::MaxRpm)].editor->setValue(3);
    f.receive(line);
    QCOMPARE(f.window.storeButton->backColor(), PackedColor::green);
    QVERIFY(f.link.retryingHandshake());
    QCOMPARE(f.window.statusBox->text(), QStringLiteral("Waiting for connection - Port 1"));
    for (QLineEdit *box : f.window.findChildren<QLineEdit *>())
        QVERIFY2(box == f.window.statusBox || box == f.window.firmwareBox || box->text().isEmpty(),
                 qPrintable(box->objectName()));
}

void TestAcknowledgement::commaLocaleProduct()
{
    pinLocale(QLocale(QLocale::French, QLocale::France));
    WindowFixture f;
    f.window.settingRows[int(Setting::MaxAdvance)].editor->setValue(14);
    f.receive("/N\r");
    QCOMPARE(f.window.settingRows[int(Setting::MaxAdvance)].box->text(), QStringLiteral("19,6"));
}

QTEST_MAIN(TestAcknowledgement)
#include "test_acknowledgement.moc"
