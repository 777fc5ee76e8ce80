// SPDX-License-Identifier: GPL-3.0-or-later
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

// The console's settings jobs, as a user runs them, against the simulated
// unit over a pseudo-terminal in real time: save a unit's settings, edit the
// file by hand, apply it to a unit, and check what went down the wire.

namespace {

constexpr int jobMs = 60000;

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The bytes the console wrote, from a trace, joined.
QByteArray written(const QString &tracePath)
{
    QByteArray sent;
    static const QRegularExpression tx(QStringLiteral("^\\S+ TX \"(.*)\"$"));
    for (const QByteArray &line : contents(tracePath).split('\n')) {
        const auto match = tx.match(QString::fromLatin1(line));
        if (match.hasMatch())
            sent += match.captured(1).replace(QStringLiteral("\\r"), QStringLiteral("\r")).toLatin1();
    }
    return sent;
}

struct Unit {
    QProcess process;
    QString device;

    explicit Unit(const QString &revision)
    {
        process.start(QStringLiteral(UNIT_SIM), {QStringLiteral("--engine-stopped"),
                                                 QStringLiteral("--revision"), revision,
                                                 QStringLiteral("--seed"), QStringLiteral("3")});
        if (process.waitForReadyRead(10000))
            device = QString::fromLocal8Bit(process.readLine().trimmed());
    }
    ~Unit()
    {
        process.terminate();
        process.waitForFinished(5000);
    }
};

struct Console {
    QProcess process;
    int status = -1;
    QByteArray out, err;

    Console(const QTemporaryDir &home, const QStringList &arguments)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_DATA_HOME"), home.filePath(QStringLiteral("data")));
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        process.setProcessEnvironment(env);
        process.start(QStringLiteral(CONSOLE), arguments);
        if (process.waitForFinished(jobMs))
            status = process.exitCode();
        out = process.readAllStandardOutput();
        err = process.readAllStandardError();
    }
};

} // namespace

class TestSettingsCli : public QObject {
    Q_OBJECT
private slots:
    void saveEditApply_data();
    void saveEditApply();
    void badFileSendsNothing();
};

void TestSettingsCli::saveEditApply_data()
{
    QTest::addColumn<QString>("revision");
    QTest::newRow("whole commands") << QStringLiteral("21");
    QTest::newRow("a character at a time") << QStringLiteral("20");
}

void TestSettingsCli::saveEditApply()
{
    QFETCH(QString, revision);
    QTemporaryDir home;
    const QString file = home.filePath(QStringLiteral("unit.txt"));
    const QString trace = home.filePath(QStringLiteral("apply.trace"));
    Unit unit(revision);
    QVERIFY(!unit.device.isEmpty());
    const QString port = QStringLiteral("1=") + unit.device;

    Console save(home, {QStringLiteral("--port"), port, QStringLiteral("--connect"), QStringLiteral("1"),
                        QStringLiteral("--save-settings"), file});
    QVERIFY2(save.status == 0, save.err.constData());
    QByteArray text = contents(file);
    QVERIFY2(text.contains("max_advance = 30"), text.constData());
    QVERIFY(text.contains("# firmware revision: " + QByteArray::number(revision.toInt(nullptr, 16))));
    QCOMPARE(QDir(home.filePath(QStringLiteral("data/torvane-console/backups"))).entryList(QDir::Files).size(), 1);

    // Two settings edited by hand, one left out.
    text.replace("max_advance = 30", "max_advance = 25").replace("led = 0", "led = 2");
    text.replace("max_rpm = ", "# max_rpm = ");
    QFile edited(file);
    QVERIFY(edited.open(QIODevice::WriteOnly));
    edited.write(text);
    edited.close();

    Console apply(home, {QStringLiteral("--port"), port, QStringLiteral("--connect"), QStringLiteral("1"),
                         QStringLiteral("--apply-settings"), file, QStringLiteral("--store"),
                         QStringLiteral("--trace"), trace});
    QVERIFY2(apply.status == 0, apply.err.constData());
    QVERIFY2(apply.out.contains("not in file"), apply.out.constData());
    const QByteArray sent = written(trace);
    const qsizetype firstChange = sent.indexOf("/L2\r");
    QVERIFY2(firstChange > 0, sent.constData());
    // After the read-out: exactly the two changes, whole, then the questions
    // and the store; nothing else sets a value.
    const QByteArray afterReadOut = sent.mid(firstChange);
    QCOMPARE(afterReadOut.count("/L"), 1);
    QCOMPARE(afterReadOut.count("/N"), 1);
    QVERIFY(afterReadOut.contains("/N25\r"));
    QVERIFY(afterReadOut.contains("/W\r"));
    for (const char *untouched : {"/D", "/T", "/C", "/M"})
        QVERIFY2(!afterReadOut.contains(untouched), untouched);
}

void TestSettingsCli::badFileSendsNothing()
{
    QTemporaryDir home;
    const QString file = home.filePath(QStringLiteral("bad.txt"));
    QFile bad(file);
    QVERIFY(bad.open(QIODevice::WriteOnly));
    bad.write("led = 2\nmax_rpm = 99\n");
    bad.close();
    Console apply(home, {QStringLiteral("--port"), QStringLiteral("1=/dev/null"), QStringLiteral("--connect"),
                         QStringLiteral("1"), QStringLiteral("--apply-settings"), file});
    QCOMPARE(apply.status, 2);
    QVERIFY2(apply.err.contains("bad.txt: line 2"), apply.err.constData());
}

QTEST_GUILESS_MAIN(TestSettingsCli)
#include "test_settings_cli.moc"
