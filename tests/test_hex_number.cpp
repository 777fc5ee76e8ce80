// SPDX-License-Identifier: GPL-3.0-or-later
#include "protocol/hex_number.h"

#include <QtTest>

class TestHexNumber : public QObject {
    Q_OBJECT
private slots:
    void converts_data();
    void converts();
    void int16Conversion_data();
    void int16Conversion();
    void emptyResultConversions();
};

void TestHexNumber::converts_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<bool>("empty");
    QTest::addColumn<QString>("decimal");

    QTest::newRow("no text") << QByteArray() << false << "0";
    QTest::newRow("bare prefix") << QByteArray("&h") << false << "0";
    QTest::newRow("&H1F") << QByteArray("&H1F") << false << "31";
    QTest::newRow("&h1F") << QByteArray("&h1F") << false << "31";
    QTest::newRow("1f") << QByteArray("1f") << false << "31";
    QTest::newRow("1F") << QByteArray("1F") << false << "31";
    QTest::newRow("h without &") << QByteArray("h1F") << false << "31";
    QTest::newRow("second prefix is digits") << QByteArray("&h&h1") << false << "1";
    QTest::newRow("1G") << QByteArray("1G") << false << "16";
    QTest::newRow("G1") << QByteArray("G1") << false << "1";
    QTest::newRow("A and CR") << QByteArray("A\r") << false << "160";
    QTest::newRow("high bytes count as 0") << QByteArray("\xff" "1") << false << "1";
    QTest::newRow("7FFF") << QByteArray("7FFF") << false << "32767";
    QTest::newRow("8000") << QByteArray("8000") << false << "32768";
    QTest::newRow("lower-case 0bb8") << QByteArray("0bb8") << false << "3000";
    QTest::newRow("23 F is 2^92-1") << QByteArray(23, 'F') << false
                                    << "4951760157141521099596496895";
    QTest::newRow("2^49 boundary") << QByteArray("2000000000000") << false
                                   << "562949953421312";
    QTest::newRow("2^50 boundary") << QByteArray("4000000000000") << false
                                   << "1125899906842624";
    QTest::newRow("24 characters") << QByteArray(24, '1') << true << "";
    QTest::newRow("24 after prefix") << "&h" + QByteArray(24, '1') << true << "";
    QTest::newRow("23 after prefix") << "&H" + QByteArray(23, 'F') << false
                                     << "4951760157141521099596496895";
}

void TestHexNumber::converts()
{
    QFETCH(QByteArray, text);
    QFETCH(bool, empty);
    QFETCH(QString, decimal);
    const HexValue value = parseHex(text);
    QCOMPARE(value.isEmpty(), empty);
    QCOMPARE(value.toText(), decimal);
}

void TestHexNumber::int16Conversion_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<bool>("fits");
    QTest::addColumn<int>("value");
    QTest::newRow("0") << QByteArray("0") << true << 0;
    QTest::newRow("FF") << QByteArray("FF") << true << 255;
    QTest::newRow("7FFF") << QByteArray("7FFF") << true << 32767;
    QTest::newRow("8000") << QByteArray("8000") << false << 0;
    QTest::newRow("FFFF") << QByteArray("FFFF") << false << 0;
    QTest::newRow("huge") << QByteArray(23, 'F') << false << 0;
    QTest::newRow("empty result reads 0") << QByteArray(30, '1') << true << 0;
}

void TestHexNumber::int16Conversion()
{
    QFETCH(QByteArray, text);
    QFETCH(bool, fits);
    QFETCH(int, value);
    const std::optional<int16_t> n = parseHex(text).toInt16();
    QCOMPARE(n.has_value(), fits);
    if (fits)
        QCOMPARE(int(*n), value);
}

void TestHexNumber::emptyResultConversions()
{
    const HexValue none = parseHex(QByteArray(24, '0'));
    QVERIFY(none.isEmpty());
    QCOMPARE(none.toText(), QString());
    QCOMPARE(none.toDouble(), 0.0);
    QCOMPARE(*none.toInt16(), int16_t(0));
}

QTEST_APPLESS_MAIN(TestHexNumber)
#include "test_hex_number.moc"
