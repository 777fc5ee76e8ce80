// SPDX-License-Identifier: GPL-3.0-or-later
#include "protocol/number_format.h"
#include "protocol/setting_texts.h"

#include <QLocale>
#include <QtTest>
#include <limits>

class TestNumberFormat : public QObject {
    Q_OBJECT
private slots:
    void init() { QLocale::setDefault(QLocale::c()); }
    void roundsHalfToEven_data();
    void roundsHalfToEven();
    void decimalTexts_data();
    void decimalTexts();
    void commaLocale();
    void revisionNumbers_data();
    void revisionNumbers();
    void settingTexts();
};

void TestNumberFormat::roundsHalfToEven_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<bool>("fits");
    QTest::addColumn<int>("expected");
    QTest::newRow("11.5 to 12") << 11.5 << true << 12;
    QTest::newRow("12.5 to 12") << 12.5 << true << 12;
    QTest::newRow("13.5 to 14") << 13.5 << true << 14;
    QTest::newRow("0.5 to 0") << 0.5 << true << 0;
    QTest::newRow("-0.5 to 0") << -0.5 << true << 0;
    QTest::newRow("-1.5 to -2") << -1.5 << true << -2;
    QTest::newRow("4.2 to 4") << 4.2 << true << 4;
    QTest::newRow("5.6 to 6") << 5.6 << true << 6;
    QTest::newRow("top") << 32767.4 << true << 32767;
    QTest::newRow("bottom") << -32768.0 << true << -32768;
    QTest::newRow("over") << 32767.5 << false << 0;
    QTest::newRow("under") << -32769.0 << false << 0;
    QTest::newRow("nan") << std::numeric_limits<double>::quiet_NaN() << false << 0;
    QTest::newRow("inf") << std::numeric_limits<double>::infinity() << false << 0;
}

void TestNumberFormat::roundsHalfToEven()
{
    QFETCH(double, value);
    QFETCH(bool, fits);
    QFETCH(int, expected);
    const std::optional<int16_t> n = roundToInt16(value);
    QCOMPARE(n.has_value(), fits);
    if (fits)
        QCOMPARE(int(*n), expected);
}

void TestNumberFormat::decimalTexts_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("14 x 1.4") << 14 * 1.4 << "19.6";
    QTest::newRow("35 x 1.4") << 35 * 1.4 << "49";
    QTest::newRow("-9 x 1.4") << -9 * 1.4 << "-12.6";
    QTest::newRow("3 x 1.4") << 3 * 1.4 << "4.2";
    QTest::newRow("zero") << 0.0 << "0";
    QTest::newRow("negative zero") << -0.0 << "0";
    QTest::newRow("12 x 1.4") << 12 * 1.4 << "16.8";
    QTest::newRow("5 x 1.4") << 5 * 1.4 << "7";
}

void TestNumberFormat::decimalTexts()
{
    QFETCH(double, value);
    QFETCH(QString, text);
    QCOMPARE(decimalText(value), text);
}

void TestNumberFormat::commaLocale()
{
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    QCOMPARE(decimalText(14 * 1.4), QStringLiteral("19,6"));
    QCOMPARE(decimalText(-9 * 1.4), QStringLiteral("-12,6"));
    QCOMPARE(decimalText(35 * 1.4), QStringLiteral("49"));
}

void TestNumberFormat::revisionNumbers_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("number");
    QTest::newRow("start-up") << "0" << 0.0;
    QTest::newRow("32") << "32" << 32.0;
    QTest::newRow("33") << "33" << 33.0;
    QTest::newRow("empty") << "" << 0.0;
    QTest::newRow("letters") << "abc" << 0.0;
    QTest::newRow("trailing junk") << "33x" << 0.0;
    QTest::newRow("infinity") << "inf" << 0.0;
}

void TestNumberFormat::revisionNumbers()
{
    QFETCH(QString, text);
    QFETCH(double, number);
    QCOMPARE(revisionNumber(text), number);
}

void TestNumberFormat::settingTexts()
{
    QCOMPARE(maxRpmText(16), QStringLiteral("4096"));
    QCOMPARE(maxRpmText(14), QStringLiteral("3584"));
    QCOMPARE(advanceDegreesText(14), QStringLiteral("19.6"));
    const QStringList names{"Kill Sw", "Mode", "Diag", "Sensor", "", ""};
    for (int n = 0; n < names.size(); ++n)
        QCOMPARE(ledText(n), names[n]);
}

QTEST_APPLESS_MAIN(TestNumberFormat)
#include "test_number_format.moc"
