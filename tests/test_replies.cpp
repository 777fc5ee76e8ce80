#include "gauges/angular_gauge.h"
#include "support/form_fixture.h"
#include "ui/color_button.h"
#include "ui/packed_color.h"

#include <QLineEdit>
#include <QScrollBar>
#include <QTimer>
#include <QtTest>

class TestReplies : public QObject {
    Q_OBJECT
private slots:
    void init() { pinLocale(); }
    void settingRecords_data();
    void settingRecords();
    void ledRecords_data();
    void ledRecords();
    void storedValues_data();
    void storedValues();
    void maxRpmWritesDialProperties();
    void advanceShiftAvailability();
    void revisionCompletesPendingConnection();
    void revisionWithoutPendingConnection();
    void overflowingEngineSpeedIgnored();
    void replyLettersAreCaseSensitive();
};

// Records that fill a box and show (and maybe move) a scroll bar.
void TestReplies::settingRecords_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("bar");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("barValue");
    QTest::addColumn<QByteArray>("queued");

    QTest::newRow("c 05") << QByteArray("c05\r") << "conshiftdata" << "conshiftscroll" << "7" << 0
                          << QByteArray();
    QTest::newRow("c 0C clamps to 9") << QByteArray("c0C\r") << "conshiftdata" << "conshiftscroll"
                                      << "12.6" << 0 << QByteArray();
    QTest::newRow("c 5 CR reads 80") << QByteArray("c5\r") << "conshiftdata" << "conshiftscroll"
                                     << "12.6" << 0 << QByteArray();
    QTest::newRow("n 00 clamps to 14") << QByteArray("n00\r") << "maxadvancedata"
                                       << "maxadvancescroll" << "19.6" << 14 << QByteArray();
    QTest::newRow("n 23 echoes") << QByteArray("n23\r") << "maxadvancedata" << "maxadvancescroll"
                                 << "49" << 35 << QByteArray("/N35\r");
    QTest::newRow("m 0E") << QByteArray("m0E\r") << "maxrpmdata" << "maxrpmscroll" << "3584" << 14
                          << QByteArray("/M14\r");
    QTest::newRow("m FF clamps to 16") << QByteArray("mFF\r") << "maxrpmdata" << "maxrpmscroll"
                                       << "4096" << 16 << QByteArray("/M16\r");
    QTest::newRow("m 00 no echo") << QByteArray("m00\r") << "maxrpmdata" << "maxrpmscroll" << "0"
                                  << 0 << QByteArray();
    QTest::newRow("t 05 clamps to 2") << QByteArray("t05\r") << "pprdata" << "pprscroll" << "2" << 2
                                      << QByteArray("/T2\r");
    QTest::newRow("d 0A clamps to 8") << QByteArray("d0A\r") << "cycledata" << "cyclescroll" << "8"
                                      << 8 << QByteArray("/D8\r");
    QTest::newRow("d 03") << QByteArray("d03\r") << "cycledata" << "cyclescroll" << "3" << 3
                          << QByteArray("/D3\r");
}

void TestReplies::settingRecords()
{
    QFETCH(QByteArray, line);
    QFETCH(QString, box);
    QFETCH(QString, bar);
    QFETCH(int, barValue);
    QFETCH(QByteArray, queued);
    FormFixture f;
    auto *textBox = f.form.findChild<QLineEdit *>(box);
    auto *scroll = f.form.findChild<QScrollBar *>(bar);
    QVERIFY(scroll->isHidden());
    f.receive(line);
    QTEST(textBox->text(), "text");
    QCOMPARE(Tag(textBox), QStringLiteral("0"));
    QVERIFY(!scroll->isHidden());
    QCOMPARE(scroll->value(), barValue);
    QCOMPARE(f.form.txQueue, queued);
    QCOMPARE(f.form.storebutton->BackColor(),
             queued.isEmpty() ? PackedColor::darkGrey : PackedColor::green);
}

void TestReplies::ledRecords_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QString>("text");
    QTest::newRow("00") << QByteArray("l00\r") << "Kill Sw";
    QTest::newRow("01") << QByteArray("l01\r") << "Mode";
    QTest::newRow("02") << QByteArray("l02\r") << "Diag";
    QTest::newRow("03") << QByteArray("l03\r") << "Sensor";
    QTest::newRow("04") << QByteArray("l04\r") << "";
}

void TestReplies::ledRecords()
{
    QFETCH(QByteArray, line);
    FormFixture f;
    f.receive(line);
    QTEST(f.form.leddata->text(), "text");
    QCOMPARE(Tag(f.form.leddata), QStringLiteral("0"));
    QVERIFY(!f.form.ledscroll->isHidden());
    QCOMPARE(f.form.ledscroll->value(), 0);
    QVERIFY(f.form.txQueue.isEmpty());
}

// Records that only store a gauge target and clear a counter.
void TestReplies::storedValues_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QString>("variable");
    QTest::addColumn<int>("value");
    QTest::addColumn<QString>("counter");

    QTest::newRow("p FF") << QByteArray("pFF\r") << "propAngle" << 358 << "";
    QTest::newRow("p 80") << QByteArray("p80\r") << "propAngle" << 179 << "";
    QTest::newRow("x 0031 is stopped") << QByteArray("x0031\r") << "engineRpm" << 0 << "rpmdial";
    QTest::newRow("x 0032") << QByteArray("x0032\r") << "engineRpm" << 50 << "rpmdial";
    QTest::newRow("x 7FFF") << QByteArray("x7FFF\r") << "engineRpm" << 32767 << "rpmdial";
    QTest::newRow("w 7D") << QByteArray("w7D\r") << "busVolts" << 12 << "voltsdial";
    QTest::newRow("w 87") << QByteArray("w87\r") << "busVolts" << 14 << "voltsdial";
    QTest::newRow("n 23") << QByteArray("n23\r") << "maxAdvanceSteps" << 35 << "maxadvancedata";
    QTest::newRow("n FF") << QByteArray("nFF\r") << "maxAdvanceSteps" << 35 << "maxadvancedata";
    QTest::newRow("z 5A") << QByteArray("z5A\r") << "" << 0 << "maxtempdata";
}

void TestReplies::storedValues()
{
    QFETCH(QByteArray, line);
    QFETCH(QString, variable);
    QFETCH(int, value);
    QFETCH(QString, counter);
    FormFixture f;
    f.receive(line);
    const QMap<QString, int> variables{{"propAngle", f.form.propAngle},
                                       {"engineRpm", f.form.engineRpm},
                                       {"busVolts", f.form.busVolts},
                                       {"maxAdvanceSteps", f.form.maxAdvanceSteps}};
    if (!variable.isEmpty())
        QCOMPARE(variables.value(variable), value);
    if (!counter.isEmpty())
        QCOMPARE(Tag(f.form.findChild<QObject *>(counter)), QStringLiteral("0"));
}

void TestReplies::maxRpmWritesDialProperties()
{
    FormFixture f;
    f.receive("m0E\r");
    QCOMPARE(f.form.rpmdial->dispatchProperty(52), int16_t(3));
    QCOMPARE(f.form.rpmdial->dispatchProperty(59), int16_t(3584));
}

void TestReplies::advanceShiftAvailability()
{
    FormFixture f;
    f.form.conshiftdata->setText(QStringLiteral("7"));
    f.receive("j00\r");
    QVERIFY(!f.form.conshiftdata->isEnabled());
    QCOMPARE(f.form.conshiftdata->text(), QStringLiteral("7"));
    QCOMPARE(Tag(f.form.conshiftdata), QStringLiteral("0"));
    f.receive("j01\r");
    QVERIFY(f.form.conshiftdata->isEnabled());
}

void TestReplies::revisionCompletesPendingConnection()
{
    FormFixture f;
    f.form.com2_Click();
    f.form.Timer1->stop();
    f.form.Timer2->stop();
    f.form.Timer3->stop();
    f.receive("u21\r");
    QCOMPARE(f.form.revdata->text(), QStringLiteral("33"));
    QCOMPARE(Tag(f.form.revdata), QStringLiteral("0"));
    QCOMPARE(f.form.statusbox->text(), QStringLiteral("Connected Comm Port 2"));
    QCOMPARE(Tag(&f.form), QStringLiteral("0"));
    for (QWidget *w : {static_cast<QWidget *>(f.form.com1), static_cast<QWidget *>(f.form.com2),
                       static_cast<QWidget *>(f.form.com3), static_cast<QWidget *>(f.form.com4),
                       static_cast<QWidget *>(f.form.Command4)})
        QVERIFY(w->isHidden());
    QVERIFY(f.form.Timer1->isActive());
    QVERIFY(f.form.Timer2->isActive());
    QVERIFY(f.form.Timer3->isActive());
    QVERIFY(!f.form.Timer4->isActive());
    QVERIFY(f.form.handshakeCommands.isEmpty());
}

void TestReplies::revisionWithoutPendingConnection()
{
    FormFixture f;
    f.form.handshakeCommands = "/I1\r";
    f.form.Timer4->start();
    f.form.statusbox->setText(QStringLiteral("Stream Mode"));
    f.receive("u20\r");
    QCOMPARE(f.form.revdata->text(), QStringLiteral("32"));
    QCOMPARE(f.form.statusbox->text(), QStringLiteral("Stream Mode"));
    QVERIFY(!f.form.com1->isHidden());
    QVERIFY(!f.form.Timer1->isActive());
    QVERIFY(!f.form.Timer4->isActive());
    QVERIFY(f.form.handshakeCommands.isEmpty());
}

void TestReplies::overflowingEngineSpeedIgnored()
{
    FormFixture f;
    f.receive("x0BB8\r");
    for (const char *line : {"x8000\r", "xFFFF\r", "xffff\r"}) {
        setTag(f.form.rpmdial, "1");
        f.receive(line);
        QCOMPARE(f.form.engineRpm, int16_t(3000));
        QCOMPARE(Tag(f.form.rpmdial), QStringLiteral("1"));
    }
}

void TestReplies::replyLettersAreCaseSensitive()
{
    FormFixture f;
    f.receive("PFF\r");
    f.receive("N23\r");
    QCOMPARE(f.form.propAngle, int16_t(0));
    QVERIFY(f.form.maxadvancescroll->isHidden());
    QVERIFY(f.form.rxBuffer.isEmpty());
}

QTEST_MAIN(TestReplies)
#include "test_replies.moc"
