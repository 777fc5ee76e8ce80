// SPDX-License-Identifier: GPL-3.0-or-later
// Settings files: what is written and read back, the files refused, the
// comparison with a unit, and the backups kept of each read-out.

#include "settings/settings_backups.h"
#include "settings/settings_comparison.h"
#include "settings/settings_file.h"
#include "settings/settings_keeper.h"
#include "support/link_fixture.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <QTimeZone>

namespace {

const QDateTime savedAt(QDate(2026, 12, 8), QTime(17, 20, 5), QTimeZone(3600));

UnitState unitWith(std::array<int, settingCount> positions, const QString &firmware = QStringLiteral("33"))
{
    UnitState unit;
    for (int i = 0; i < settingCount; ++i)
        unit.settings[i].position = positions[i];
    unit.firmwareText = firmware;
    unit.maxTemperatureText = QStringLiteral("87");
    return unit;
}

SettingsFile fileOf(const UnitState &unit, const QDateTime &at = savedAt)
{
    return settingsOfUnit(unit, {QStringLiteral("torvane-console 0.1"), at,
                                 QStringLiteral("COM1 (/dev/ttyUSB0)"), QString()});
}

QString changesText(const std::vector<SettingChange> &changes)
{
    QStringList texts;
    for (const SettingChange &change : changes)
        texts << QStringLiteral("%1=%2").arg(int(change.setting)).arg(change.value);
    return texts.join(u' ');
}

QStringList backupNames(const QString &folder)
{
    return QDir(folder).entryList({QStringLiteral("settings-*.txt")}, QDir::Files, QDir::Name);
}

} // namespace

class TestSettingsFiles : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { pinLocale(); }
    void writtenText();
    void reportOutsideRangeIsOnlyAComment();
    void roundTrip_data();
    void roundTrip();
    void laxLayoutAccepted();
    void savedFractionDropped();
    void refusals_data();
    void refusals();
    void unreadableFiles();
    void comparison_data();
    void comparison();
    void backupsOnlyForNewReadOuts();
    void backupNameTakenAndOrder();
    void backupLimit();
    void keeperFollowsTheLink();
};

void TestSettingsFiles::writtenText()
{
    const SettingsFile file = fileOf(unitWith({2, 0, 1, -3, 14, 30}));
    QCOMPARE(QString::fromUtf8(formatSettingsFile(file)),
             QStringLiteral("# Torvane ignition settings\n"
                            "# program: torvane-console 0.1\n"
                            "# saved: 2026-12-08T17:20:05+01:00\n"
                            "# port: COM1 (/dev/ttyUSB0)\n"
                            "# firmware revision: 33\n"
                            "\n"
                            "start_delay = 2      # 2\n"
                            "led = 0              # Kill Sw\n"
                            "tach_ppr = 1         # 1\n"
                            "advance_shift = -3   # -4.2 degrees\n"
                            "max_rpm = 14         # 3584 RPM\n"
                            "max_advance = 30     # 42 degrees\n"
                            "\n"
                            "# max temperature: 87 deg C\n"));
}

// A value the unit reported beyond a setting's range goes into the file as a
// comment only: read back, the file leaves that setting as it is.
void TestSettingsFiles::reportOutsideRangeIsOnlyAComment()
{
    UnitState unit = unitWith({2, 0, 1, 0, 14, 30});
    unit.setting(Setting::AdvanceShift).outOfRange = 253;
    const QByteArray text = formatSettingsFile(fileOf(unit));
    QVERIFY(text.contains("# advance_shift: the unit reported 253, outside -9 to 9; not a value to apply\n"));
    QVERIFY(!text.contains("advance_shift ="));
    const SettingsFileReading reading = parseSettingsFile(text, QStringLiteral("x.txt"));
    QVERIFY2(reading.file, qPrintable(reading.error));
    QVERIFY(!reading.file->values[int(Setting::AdvanceShift)]);
    QCOMPARE(compareSettings(unit, *reading.file).changes().size(), size_t(0));
}

void TestSettingsFiles::roundTrip_data()
{
    QTest::addColumn<QDateTime>("at");
    QTest::addColumn<QString>("savedText");
    QTest::addColumn<int>("leftOut");

    // main() puts local time in Central Europe.
    QTest::newRow("offset") << savedAt << "2026-12-08T17:20:05+01:00" << -1;
    QTest::newRow("UTC, not Z") << savedAt.toUTC() << "2026-12-08T16:20:05+00:00" << -1;
    QTest::newRow("local winter") << QDateTime(QDate(2026, 1, 2), QTime(3, 4, 5))
                                  << "2026-01-02T03:04:05+01:00" << int(Setting::Led);
    QTest::newRow("local summer") << QDateTime(QDate(2026, 7, 2), QTime(3, 4, 5))
                                  << "2026-07-02T03:04:05+02:00" << int(Setting::MaxAdvance);
    QTest::newRow("west of UTC") << QDateTime(QDate(2026, 7, 2), QTime(3, 4, 5), QTimeZone(-9000))
                                 << "2026-07-02T03:04:05-02:30" << int(Setting::StartDelay);
}

void TestSettingsFiles::roundTrip()
{
    QFETCH(QDateTime, at);
    QFETCH(QString, savedText);
    QFETCH(int, leftOut);
    const UnitState unit = unitWith({8, 3, 2, -9, 16, 35});
    SettingsFile written = fileOf(unit, at);
    if (leftOut >= 0)
        written.values[leftOut].reset();

    const QByteArray text = formatSettingsFile(written);
    QVERIFY(text.contains("# saved: " + savedText.toUtf8() + '\n'));
    const SettingsFileReading reading = parseSettingsFile(text, QStringLiteral("x.txt"));
    QVERIFY2(reading.file, qPrintable(reading.error));
    const SettingsFile &read = *reading.file;
    QCOMPARE(read.values, written.values);
    QCOMPARE(read.header.firmware, QStringLiteral("33"));
    QCOMPARE(read.header.program, written.header.program);
    QCOMPARE(read.header.port, written.header.port);
    QCOMPARE(read.header.savedAt, at);
    QCOMPARE(read.header.savedAt.offsetFromUtc(), at.offsetFromUtc());
    QCOMPARE(read.maxTemperature, QStringLiteral("87"));

    const SettingsComparison comparison = compareSettings(unit, read);
    QVERIFY(comparison.changes().empty());
    QVERIFY(!comparison.otherFirmware());
}

void TestSettingsFiles::laxLayoutAccepted()
{
    const QByteArray text = "\xEF\xBB\xBF# hand written\r\n"
                            "   \r\n"
                            "  # firmware revision:   32  \r\n"
                            "start_delay=-0\r\n"
                            "  advance_shift   =   -9#shifted\r\n"
                            "led = 3 # \xC3\xA9t\xC3\xA9\r\n"
                            "max_rpm = 016"; // no line end at the end
    const SettingsFileReading reading = parseSettingsFile(text, QStringLiteral("x.txt"));
    QVERIFY2(reading.file, qPrintable(reading.error));
    const std::array<std::optional<int>, settingCount> expected{
        0, 3, std::nullopt, -9, 16, std::nullopt};
    QCOMPARE(reading.file->values, expected);
    QCOMPARE(reading.file->header.firmware, QStringLiteral("32"));
    QVERIFY(!reading.file->header.savedAt.isValid());
}

// The file holds whole seconds: read back after writing, the time is the same.
void TestSettingsFiles::savedFractionDropped()
{
    const QByteArray text = "# saved: 2026-07-02T03:04:05.999-02:30\nled = 1\n";
    const SettingsFileReading first = parseSettingsFile(text, QStringLiteral("x.txt"));
    QVERIFY2(first.file, qPrintable(first.error));
    const QByteArray written = formatSettingsFile(*first.file);
    QVERIFY(written.contains("# saved: 2026-07-02T03:04:05-02:30\n"));
    QCOMPARE(parseSettingsFile(written, QStringLiteral("x.txt")).file->header.savedAt,
             first.file->header.savedAt);
}

void TestSettingsFiles::refusals_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("line"); // 0: the error names no line
    QTest::addColumn<QString>("reason");

    const QByteArray start = "# Torvane ignition settings\nled = 1\n";
    QTest::newRow("unknown name") << start + "speed = 3\n" << 3 << "unknown setting \"speed\"";
    QTest::newRow("above range") << start + "max_rpm = 17\n" << 3 << "max_rpm = 17 is outside 0 to 16";
    QTest::newRow("below range") << start + "max_advance = 13 # 18.2\n" << 3 << "is outside 14 to 35";
    QTest::newRow("beyond int") << start + "max_rpm = 99999999999\n" << 3 << "is outside 0 to 16";
    QTest::newRow("given twice") << start + "\n\nled = 2\n" << 5 << "led given again; it is already on line 2";
    QTest::newRow("text") << start + "max_rpm = ten\n" << 3 << "not a whole number";
    QTest::newRow("decimal") << start + "max_rpm = 3.5\n" << 3 << "not a whole number";
    QTest::newRow("hex") << start + "max_rpm = 0x10\n" << 3 << "not a whole number";
    QTest::newRow("plus sign") << start + "max_rpm = +1\n" << 3 << "not a whole number";
    QTest::newRow("no value") << start + "max_rpm =   # none\n" << 3 << "max_rpm has no value";
    QTest::newRow("no equals sign") << start + "max_rpm 14\n" << 3 << "name = value";
    QTest::newRow("NUL byte") << start + "max_rpm = 1" + QByteArray(1, '\0') + "\n" << 3 << "NUL";
    QTest::newRow("bad UTF-8 in a comment") << "# caf\xC3(\n" + start << 1 << "UTF-8";
    QTest::newRow("overlong UTF-8") << start + "# \xC0\xAF\n" << 3 << "UTF-8";
    QTest::newRow("comments only") << QByteArray("# Torvane ignition settings\n\n") << 0 << "no settings";
    QTest::newRow("empty") << QByteArray() << 0 << "no settings";
}

void TestSettingsFiles::refusals()
{
    QFETCH(QByteArray, text);
    QFETCH(int, line);
    QFETCH(QString, reason);
    const SettingsFileReading reading = parseSettingsFile(text, QStringLiteral("/tmp/bad.txt"));
    QVERIFY(!reading.file);
    const QString where = line ? QStringLiteral("/tmp/bad.txt: line %1: ").arg(line) : QStringLiteral("/tmp/bad.txt: ");
    QVERIFY2(reading.error.startsWith(where), qPrintable(reading.error));
    QVERIFY2(reading.error.contains(reason), qPrintable(reading.error));
}

void TestSettingsFiles::unreadableFiles()
{
    QTemporaryDir dir;
    const QString missing = dir.filePath(QStringLiteral("missing.txt"));
    QVERIFY(readSettingsFile(missing).error.startsWith(missing + QStringLiteral(": cannot read: ")));

    // Valid all through, only too long.
    const QString large = dir.filePath(QStringLiteral("large.txt"));
    QFile file(large);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(formatSettingsFile(fileOf(unitWith({0, 0, 0, 0, 0, 14}))));
    file.write("# padding\n" + QByteArray(maximumSettingsFileBytes, '#'));
    file.close();
    const SettingsFileReading reading = readSettingsFile(large);
    QVERIFY(!reading.file);
    QVERIFY2(reading.error.startsWith(large + QStringLiteral(": larger than 65536 bytes")), qPrintable(reading.error));
}

void TestSettingsFiles::comparison_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("changes");
    QTest::addColumn<bool>("otherFirmware");
    QTest::addColumn<QString>("tableLine");

    // The unit: 2, 0, 1, 0, 14, 30 on firmware 33.
    QTest::newRow("same") << QByteArray("# firmware revision: 33\nmax_advance = 30\nled = 0\n") << ""
                          << false << "Max ADV      30 (42 degrees)  30 (42 degrees)  same";
    QTest::newRow("changes in the window's order")
        << QByteArray("max_advance = 35\nstart_delay = 2\nled = 1\nadvance_shift = -1\n") << "1=1 3=-1 5=35"
        << false << "LED          0 (Kill Sw)      1 (Mode)           changed";
    QTest::newRow("other firmware") << QByteArray("# firmware revision: 32\nmax_rpm = 16\n") << "4=16"
                                    << true << "Tach - PPR   1                               not in file";
}

void TestSettingsFiles::comparison()
{
    QFETCH(QByteArray, text);
    QFETCH(QString, changes);
    QFETCH(bool, otherFirmware);
    QFETCH(QString, tableLine);
    const SettingsFileReading reading = parseSettingsFile(text, QStringLiteral("x.txt"));
    QVERIFY2(reading.file, qPrintable(reading.error));
    const SettingsComparison comparison = compareSettings(unitWith({2, 0, 1, 0, 14, 30}), *reading.file);
    QCOMPARE(changesText(comparison.changes()), changes);
    QCOMPARE(comparison.otherFirmware(), otherFirmware);

    const QStringList lines = comparisonText(comparison).split(u'\n');
    QCOMPARE(lines.first(), QStringLiteral("Setting      Unit             File"));
    QVERIFY2(lines.contains(tableLine), qPrintable(lines.join(u'\n')));
    const QString note = QStringLiteral("The file was saved from firmware revision 32; this unit has 33.");
    QCOMPARE(lines.contains(note), otherFirmware);
}

void TestSettingsFiles::backupsOnlyForNewReadOuts()
{
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("new/backups"));
    SettingsBackups backups(folder);
    QString error;
    const UnitState unit = unitWith({2, 0, 1, 0, 14, 30});

    const QString first = backups.keep(fileOf(unit), error);
    QVERIFY2(first.endsWith(QStringLiteral("/settings-2026-12-08_17-20-05.txt")), qPrintable(error));
    QCOMPARE(backups.keep(fileOf(unit, savedAt.addSecs(60)), error), QString());
    QCOMPARE(error, QString());
    QCOMPARE(backupNames(folder).size(), 1);
    QCOMPARE(readSettingsFile(first).file->values, fileOf(unit).values);

    QVERIFY(!backups.keep(fileOf(unitWith({2, 0, 1, 0, 15, 30}), savedAt.addSecs(120)), error).isEmpty());
    QVERIFY(!backups.keep(fileOf(unitWith({2, 0, 1, 0, 15, 30}, QStringLiteral("34")), savedAt.addSecs(180)),
                          error).isEmpty());
    QCOMPARE(backupNames(folder).size(), 3);

    QFile blocker(dir.filePath(QStringLiteral("file")));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    SettingsBackups blocked(blocker.fileName() + QStringLiteral("/backups"));
    QCOMPARE(blocked.keep(fileOf(unit), error), QString());
    QVERIFY2(error.contains(blocked.folder()), qPrintable(error));
}

void TestSettingsFiles::backupNameTakenAndOrder()
{
    QTemporaryDir dir;
    SettingsBackups backups(dir.path());
    QString error;
    const QString plain = backups.keep(fileOf(unitWith({2, 0, 1, 0, 14, 30})), error);

    const SettingsFile changed = fileOf(unitWith({2, 0, 1, 0, 15, 30}));
    const QString second = backups.keep(changed, error);
    QCOMPARE(second, dir.filePath(QStringLiteral("settings-2026-12-08_17-20-05-2.txt")));
    QCOMPARE(readSettingsFile(plain).file->values[int(Setting::MaxRpm)], 14);

    // The "-2" file is the newer one, though it sorts first by name.
    QCOMPARE(backups.keep(fileOf(unitWith({2, 0, 1, 0, 15, 30}), savedAt.addSecs(1)), error), QString());
    QCOMPARE(backupNames(dir.path()).size(), 2);
}

void TestSettingsFiles::backupLimit()
{
    QTemporaryDir dir;
    const QDateTime oldest(QDate(2026, 1, 1), QTime(0, 0));
    for (int i = 0; i < SettingsBackups::maximumFiles + 2; ++i) {
        QFile file(dir.filePath(oldest.addSecs(i).toString(u"'settings-'yyyy-MM-dd_HH-mm-ss'.txt'")));
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    QFile other(dir.filePath(QStringLiteral("notes.txt")));
    QVERIFY(other.open(QIODevice::WriteOnly));

    QString error;
    const QString kept = SettingsBackups(dir.path()).keep(fileOf(unitWith({2, 0, 1, 0, 14, 30})), error);
    const QStringList names = backupNames(dir.path());
    QCOMPARE(names.size(), SettingsBackups::maximumFiles);
    QCOMPARE(names.first(), QStringLiteral("settings-2026-01-01_00-00-03.txt"));
    QCOMPARE(dir.filePath(names.last()), kept);
    QVERIFY(other.exists());
}

// Each complete read-out is backed up once; a store remembers what the unit
// held before, for the printed sheet.
void TestSettingsFiles::keeperFollowsTheLink()
{
    QTemporaryDir dir;
    LinkFixture f;
    SettingsKeeper keeper(f.link, dir.path());
    connectAndReadOut(f);
    f.port->vanish();
    connectAndReadOut(f);
    QCOMPARE(backupNames(dir.path()).size(), 1);

    f.link.editSetting(Setting::MaxRpm, 12);
    f.receive("/M\r/W\r");
    QCOMPARE(keeper.before()[int(Setting::MaxRpm)], std::optional<int>(14));
    QCOMPARE(keeper.before()[int(Setting::Led)], std::nullopt);
    QCOMPARE(keeper.current().values[int(Setting::MaxRpm)], std::optional<int>(12));
    QVERIFY(keeper.current().header.port.startsWith(QStringLiteral("COM1")));
}

int main(int argc, char *argv[])
{
    // Central European time, with its summer time, whatever the machine's zone.
    qputenv("TZ", "CET-1CEST,M3.5.0,M10.5.0/3");
    QCoreApplication app(argc, argv);
    TestSettingsFiles test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_settings_files.moc"
