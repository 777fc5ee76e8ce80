#include "support/form_fixture.h"
#include "ui/color_button.h"
#include "ui/packed_color.h"

#include <QLineEdit>
#include <QScrollBar>
#include <QTimer>
#include <QtTest>

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
    void ignoredLines_data();
    void ignoredLines();
    void commaLocaleProduct();
};

// Text boxes set by acknowledgements, with the scroll bars' positions they
// read.
void TestAcknowledgement::setsBoxes_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("bar");
    QTest::addColumn<int>("barValue");
    QTest::addColumn<QString>("text");

    QTest::newRow("/D5") << QByteArray("/D5\r") << "cycledata" << "" << 0 << "5";
    QTest::newRow("/D12 shows one digit") << QByteArray("/D12\r") << "cycledata" << "" << 0 << "1";
    QTest::newRow("/D then CR shows CR") << QByteArray("/D\r") << "cycledata" << "" << 0 << "\r";
    QTest::newRow("/T1") << QByteArray("/T1\r") << "pprdata" << "" << 0 << "1";
    QTest::newRow("/N at 14") << QByteArray("/N14\r") << "maxadvancedata" << "maxadvancescroll"
                              << 14 << "19.6";
    QTest::newRow("/N reads the bar") << QByteArray("/N\r") << "maxadvancedata"
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
    QFETCH(QString, bar);
    QFETCH(int, barValue);
    QFETCH(QString, text);
    FormFixture f;
    if (!bar.isEmpty())
        f.form.findChild<QScrollBar *>(bar)->setValue(barValue);
    f.receive(line);
    QCOMPARE(f.form.findChild<QLineEdit *>(box)->text(), text);
}

void TestAcknowledgement::storeTurnsButtonDarkGrey()
{
    FormFixture f;
    f.form.storebutton->setBackColor(PackedColor::green);
    f.receive("/W1\r");
    QCOMPARE(f.form.storebutton->BackColor(), PackedColor::darkGrey);
}

void TestAcknowledgement::ledAcknowledgement_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("tag");
    QTest::newRow("/L0") << QByteArray("/L0\r") << "Kill Sw" << "0";
    QTest::newRow("/L1") << QByteArray("/L1\r") << "Mode" << "0";
    QTest::newRow("/L2") << QByteArray("/L2\r") << "Diag" << "0";
    QTest::newRow("/L3") << QByteArray("/L3\r") << "Sensor" << "0";
    QTest::newRow("/L7 clears") << QByteArray("/L7\r") << "" << "0";
    QTest::newRow("/LX is ignored") << QByteArray("/LX\r") << "before" << "2";
    QTest::newRow("/L then CR is ignored") << QByteArray("/L\r") << "before" << "2";
}

void TestAcknowledgement::ledAcknowledgement()
{
    QFETCH(QByteArray, line);
    QFETCH(QString, text);
    QFETCH(QString, tag);
    FormFixture f;
    f.form.leddata->setText(QStringLiteral("before"));
    f.receive(line);
    QCOMPARE(f.form.leddata->text(), text);
    QCOMPARE(Tag(f.form.leddata), tag);
}

void TestAcknowledgement::streamSwitch_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<bool>("linkBefore");
    QTest::addColumn<QString>("status");
    QTest::addColumn<bool>("linkAfter");
    QTest::newRow("/I1") << QByteArray("/I1\r") << false << "Stream Mode" << true;
    QTest::newRow("/I0") << QByteArray("/I0\r") << true << "" << false;
    QTest::newRow("/I then CR") << QByteArray("/I\r") << true << "Waiting for connection - Port 1"
                                << true;
    QTest::newRow("/I7") << QByteArray("/I7\r") << false << "Waiting for connection - Port 1"
                         << false;
}

void TestAcknowledgement::streamSwitch()
{
    QFETCH(QByteArray, line);
    QFETCH(bool, linkBefore);
    FormFixture f;
    f.form.com1_Click();
    f.form.linkUp = linkBefore;
    f.receive(line);
    QTEST(f.form.statusbox->text(), "status");
    QTEST(f.form.linkUp, "linkAfter");
    QVERIFY(!f.form.Timer4->isActive());
    QVERIFY(f.form.handshakeCommands.isEmpty());
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
    FormFixture f;
    f.form.com1_Click();
    f.form.storebutton->setBackColor(PackedColor::green);
    f.receive(line);
    QCOMPARE(f.form.storebutton->BackColor(), PackedColor::green);
    QVERIFY(f.form.Timer4->isActive());
    QCOMPARE(f.form.statusbox->text(), QStringLiteral("Waiting for connection - Port 1"));
    for (QLineEdit *box : f.form.findChildren<QLineEdit *>())
        QVERIFY2(box == f.form.statusbox || box == f.form.revdata || box->text().isEmpty(),
                 qPrintable(box->objectName()));
}

void TestAcknowledgement::commaLocaleProduct()
{
    pinLocale(QLocale(QLocale::French, QLocale::France));
    FormFixture f;
    f.form.maxadvancescroll->setValue(14);
    f.receive("/N\r");
    QCOMPARE(f.form.maxadvancedata->text(), QStringLiteral("19,6"));
}

QTEST_MAIN(TestAcknowledgement)
#include "test_acknowledgement.moc"
