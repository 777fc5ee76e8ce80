// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/settings_file.h"
#include "support/link_fixture.h"
#include "gauges/packed_color.h"
#include "ui/color_button.h"
#include "ui/settings_comparison_dialog.h"

#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QtTest>

// The comparison a user sees before a settings file is applied, and what
// Apply then does.

namespace {

// The read-out unit's values with three of them changed, and max RPM left out.
SettingsFile editedFile(const QString &firmware)
{
    SettingsFile file;
    file.header.firmware = firmware;
    file.values = {2, 2, 1, 5, std::nullopt, 25};
    return file;
}

QString cell(const SettingsComparisonDialog &d, Setting row, int column)
{
    return d.table->item(int(row), column)->text();
}

} // namespace

class TestSettingsDialog : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { pinLocale(); }
    void tableThenApply();
    void refusedWhileEngineRuns();
};

void TestSettingsDialog::tableThenApply()
{
    WindowFixture f;
    connectAndReadOut(f);
    SettingsComparisonDialog dialog(f.link, QStringLiteral("Torvane settings/torvane-settings-2026-12-08.txt"), editedFile(QStringLiteral("32")));
    QCOMPARE(cell(dialog, Setting::MaxAdvance, 1), QStringLiteral("30  (42 degrees)"));
    QCOMPARE(cell(dialog, Setting::MaxAdvance, 2), QStringLiteral("25  (35 degrees)"));
    QCOMPARE(cell(dialog, Setting::MaxAdvance, 3), QStringLiteral("changed"));
    QCOMPARE(cell(dialog, Setting::StartDelay, 3), QStringLiteral("same"));
    QVERIFY(cell(dialog, Setting::MaxRpm, 3).startsWith(QStringLiteral("not in file")));
    QVERIFY(!dialog.note->isHidden());
    QVERIFY(dialog.note->text().contains(QStringLiteral("revision 32")));

    const QString screenshot = qEnvironmentVariable("TORVANE_SCREENSHOT_COMPARISON");
    if (!screenshot.isEmpty())
        dialog.grab().save(screenshot);

    dialog.applyButton->click();
    QVERIFY(!dialog.applyButton->isEnabled());
    QByteArray sent;
    for (int tick = 0; tick < 10; ++tick) {
        f.advance(std::chrono::milliseconds(UnitLink::pumpMs));
        f.link.transmitNext();
    }
    for (const QByteArray &w : f.port->writes)
        sent += w;
    QVERIFY2(sent.endsWith("/L2\r/C5\r/N25\r/l\r/c\r/n\r"), sent.constData());
    f.receive("l02\rc00\rn19\r");
    QCOMPARE(cell(dialog, Setting::Led, 3), QStringLiteral("taken"));
    QVERIFY(cell(dialog, Setting::AdvanceShift, 3).startsWith(QStringLiteral("NOT TAKEN")));
    QCOMPARE(f.window.storeButton->backColor(), PackedColor::green);
}

void TestSettingsDialog::refusedWhileEngineRuns()
{
    WindowFixture f;
    connectAndReadOut(f);
    f.receive("=0A50120000962DC864\r");
    SettingsComparisonDialog dialog(f.link, QStringLiteral("unit.txt"), editedFile(QStringLiteral("33")));
    QVERIFY(dialog.note->isHidden());
    const qsizetype writes = f.port->writes.size();
    dialog.applyButton->click();
    f.drainQueue();
    QVERIFY(dialog.progress->text().contains(QStringLiteral("engine is running")));
    QVERIFY(!f.port->writes.mid(writes).join().contains("/N25"));
}

QTEST_MAIN(TestSettingsDialog)
#include "test_settings_dialog.moc"
