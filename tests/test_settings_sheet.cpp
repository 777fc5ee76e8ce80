// SPDX-License-Identifier: GPL-3.0-or-later
// The printed settings sheet, read back from its PDF as a person would read it.

#include "settings/setting_names.h"
#include "ui/settings_sheet.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTimeZone>

class TestSettingsSheet : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void sheetLines_data();
    void sheetLines();
    void settingRows_data();
    void settingRows();
    void unwritablePathNamed();

private:
    QTemporaryDir dir;
    QString pdfText; // as laid out on the page
};

void TestSettingsSheet::initTestCase()
{
    SettingsSheet sheet;
    sheet.settings.header = {QStringLiteral("torvane-console 0.1"),
                             QDateTime(QDate(2026, 12, 7), QTime(14, 3, 22), QTimeZone(3600)),
                             QStringLiteral("COM1 (/dev/ttyUSB0)"), QStringLiteral("2.1")};
    sheet.settings.values = {3, 0, std::nullopt, -2, 14, 30};
    sheet.settings.maxTemperature = QStringLiteral("87");
    sheet.before[int(Setting::MaxAdvance)] = 28;
    const QString path = dir.filePath(QStringLiteral("sheet.pdf"));
    QCOMPARE(writeSettingsSheetPdf(path, sheet), QString());
    QProcess pdftotext;
    pdftotext.start(QStringLiteral("pdftotext"),
                    {QStringLiteral("-layout"), path, QStringLiteral("-")});
    if (!pdftotext.waitForFinished())
        QFAIL("pdftotext did not run; scripts/install-deps installs it (poppler-utils)");
    QCOMPARE(pdftotext.exitCode(), 0);
    pdfText = QString::fromUtf8(pdftotext.readAllStandardOutput());
}

void TestSettingsSheet::sheetLines_data()
{
    QTest::addColumn<QString>("line");
    for (const char *line :
         {"Torvane ignition settings Torvane Series 410 / 420 Ignitions",
          "Date: 2026-12-07 14:03 UTC+01:00", "Program: torvane-console 0.1",
          "Port: COM1 (/dev/ttyUSB0)", "Firmware revision: 2.1",
          "Highest temperature the unit recorded: 87 °C", "Aircraft registration",
          "Engine serial number", "Tach / Hobbs time", "Name", "Signature", "Date",
          "Values as read from the unit by torvane-console 0.1 on 2026-12-07 14:03 UTC+01:00"})
        QTest::newRow(line) << QString::fromUtf8(line);
}

void TestSettingsSheet::sheetLines()
{
    QFETCH(QString, line);
    QStringList lines;
    for (const QString &pageLine : pdfText.split(QLatin1Char('\n')))
        lines << pageLine.simplified();
    QVERIFY2(lines.contains(line), qPrintable(pdfText));
}

void TestSettingsSheet::settingRows_data()
{
    QTest::addColumn<Setting>("setting");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("before"); // empty: the cell is blank
    QTest::newRow("start delay") << Setting::StartDelay << "Start Delay" << "3" << "";
    QTest::newRow("LED") << Setting::Led << "LED" << "Kill Sw" << "";
    QTest::newRow("not read") << Setting::PulsesPerRev << "Tach - PPR" << "not read" << "";
    QTest::newRow("advance shift") << Setting::AdvanceShift << "Adv Shift" << "-2.8 degrees" << "";
    QTest::newRow("max RPM") << Setting::MaxRpm << "Max RPM" << "3584 RPM" << "";
    QTest::newRow("stored this session")
        << Setting::MaxAdvance << "Max ADV" << "42 degrees" << "39.2 degrees";
}

void TestSettingsSheet::settingRows()
{
    QFETCH(Setting, setting);
    QFETCH(QString, caption);
    QFETCH(QString, value);
    QFETCH(QString, before);
    // One line of the table, its columns in order; the meaning may be cut
    // short at its end but starts whole.
    QStringList columns{caption, value, before, settingMeaning(setting).left(12)};
    columns.removeAll(QString());
    for (QString &column : columns)
        column = QRegularExpression::escape(column);
    const QRegularExpression row(QStringLiteral("^ *") + columns.join(QStringLiteral(" {2,}")),
                                 QRegularExpression::MultilineOption);
    QVERIFY2(row.match(pdfText).hasMatch(), qPrintable(pdfText));
}

void TestSettingsSheet::unwritablePathNamed()
{
    const QString path = dir.filePath(QStringLiteral("no such folder/sheet.pdf"));
    const QString error = writeSettingsSheetPdf(path, SettingsSheet{});
    QVERIFY2(error.contains(path), qPrintable(error));
    QVERIFY(!QFile::exists(path));
}

QTEST_MAIN(TestSettingsSheet)

#include "test_settings_sheet.moc"
