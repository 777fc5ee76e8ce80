// SPDX-License-Identifier: GPL-3.0-or-later
// Recordings read back for the viewer and the replay: the loader's checks,
// the lines a replay reads, rows added to a growing file, the min/max pyramid
// and the summary.

#include "recording/min_max_pyramid.h"
#include "recording/recording_summary.h"

#include <QBuffer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <cmath>
#include <random>

namespace {

const QByteArray header =
    "time,seconds,rpm,advance_deg,volts,temp_c,pair12,pair34,prop_deg,line\r\n";
const QByteArray rowTime = "2026-12-07T14:03:22.125+01:00";

QByteArray row(const QByteArray &seconds, const QByteArray &figures = "2640,25,14,45,200,100,",
               const QByteArray &line = "=0A50120000962DC864")
{
    return rowTime + ',' + seconds + ',' + figures + ',' + line + "\r\n";
}

bool write(const QString &path, const QByteArray &bytes, QIODevice::OpenMode mode)
{
    QFile file(path);
    return file.open(mode) && file.write(bytes) == bytes.size();
}

// "start; seconds figures... | ..." with "+cut" for a dropped last row, or
// the error with "@" for the file.
QString outcome(const RecordingLoad &load, const RecordingTable &table, const QString &path)
{
    if (!load.ok())
        return QString(load.error).replace(path, QStringLiteral("@"));
    QStringList rows;
    for (size_t i = 0; i < table.rows(); ++i) {
        QStringList fields{QString::number(table.seconds[i])};
        for (const std::vector<float> &column : table.figures)
            fields << QString::number(column[i]);
        rows << fields.join(' ');
    }
    return table.start.toString(Qt::ISODateWithMs) + QStringLiteral("; ") + rows.join(" | ")
           + (load.lastRowIncomplete ? QStringLiteral(" +cut") : QString());
}

// Hands out its bytes one at a time: every state of the reader is carried
// across a read's end.
class TrickleDevice : public QIODevice {
public:
    explicit TrickleDevice(const QByteArray &bytes) : bytes(bytes) { open(ReadOnly | Unbuffered); }
    bool isSequential() const override { return true; }
    qint64 bytesAvailable() const override { return bytes.size() - at + QIODevice::bytesAvailable(); }

protected:
    qint64 readData(char *data, qint64 most) override
    {
        if (at == bytes.size() || most == 0)
            return 0;
        *data = bytes[at++];
        return 1;
    }
    qint64 writeData(const char *, qint64) override { return -1; }

private:
    QByteArray bytes;
    qsizetype at = 0;
};

// "seconds:line ..." with control bytes as \xNN, "+cut" for a dropped last
// row; or the error.
QString linesRead(QIODevice &input)
{
    RecordingTable table;
    const RecordingLoad load = readRecording(input, QStringLiteral("run.csv"), table, RowContent::Lines);
    if (!load.ok())
        return load.error;
    QStringList rows;
    for (size_t i = 0; i < table.rows(); ++i) {
        QString line;
        for (const char c : table.lines.at(i))
            line += uchar(c) < 0x20 || uchar(c) >= 0x7F
                        ? QStringLiteral("\\x%1").arg(uchar(c), 2, 16, QLatin1Char('0'))
                        : QString(QLatin1Char(c));
        rows << QString::number(table.seconds[i]) + ':' + line;
    }
    if (table.figures[0].size() != 0 || table.lines.size() != table.rows())
        return QStringLiteral("figures kept, or a line missing");
    return rows.join(' ') + (load.lastRowIncomplete ? QStringLiteral(" +cut") : QString());
}

MinMaxPyramid::Range bruteForce(const std::vector<float> &column, size_t first, size_t last)
{
    MinMaxPyramid::Range range{INFINITY, -INFINITY};
    for (size_t i = first; i < last; ++i) {
        range.minimum = std::fmin(range.minimum, column[i]);
        range.maximum = std::fmax(range.maximum, column[i]);
    }
    return range;
}

// "seconds:rpm" pairs, "-" for an empty rpm.
RecordingTable madeUp(const QString &rows)
{
    RecordingTable table;
    for (const QString &pair : rows.split(' ', Qt::SkipEmptyParts)) {
        const QStringList parts = pair.split(':');
        table.seconds.push_back(parts[0].toDouble());
        for (std::vector<float> &column : table.figures)
            column.push_back(parts[1] == "-" ? NAN : parts[1].toFloat());
    }
    return table;
}

} // namespace

class TestRecordingTable : public QObject {
    Q_OBJECT
private slots:
    void loads_data();
    void loads();
    void lines_data();
    void lines();
    void newRowsOfAGrowingFile();
    void pyramidMatchesBruteForce_data();
    void pyramidMatchesBruteForce();
    void runsAndGaps_data();
    void runsAndGaps();
    void summary();
};

void TestRecordingTable::loads_data()
{
    QTest::addColumn<QByteArray>("contents");
    QTest::addColumn<QString>("expected");
    const QString start = QStringLiteral("2026-12-07T14:03:22.125+01:00; ");
    const QString rowA = QStringLiteral("0.125 2640 25 14 45 200 100 nan");
    const QString notRecording = QStringLiteral(
        "@: line 1: not a Torvane recording (the header is not "
        "time,seconds,rpm,advance_deg,volts,temp_c,pair12,pair34,prop_deg,line)");
    const auto add = [](const char *name, const QByteArray &contents, const QString &expected) {
        QTest::newRow(name) << contents << expected;
    };

    add("good", header + row("0.125") + row("1.5", "-3,25.5,\"14\",,0,0,359"),
        start + rowA + " | 1.5 -3 25.5 14 nan 0 0 359");
    add("BOM, columns reordered, one more",
        "\xEF\xBB\xBFline,extra,prop_deg,pair34,pair12,temp_c,volts,advance_deg,rpm,seconds,time\n"
        "x,y,7,6,5,4,3,2,1,0.250," + rowTime + "\n",
        start + "0.25 1 2 3 4 5 6 7");
    add("cut off mid-row", header + row("0.125") + row("0.250").left(50), start + rowA + " +cut");
    add("last row without its line end", header + row("0.125") + row("0.250").chopped(2),
        start + rowA + " +cut");
    add("quoted lines: comma, quotes, CR LF, \\x01",
        header + row("0.125", "2640,25,14,45,200,100,", "\"=0A5012,\"\"\x01\r\n\"") + row("0.125"),
        start + rowA + " | " + rowA);
    add("line counted through quoted line ends",
        header + row("0.125", "2640,25,14,45,200,100,", "\"a\nb\r\nc\"") + row("1", ",x,,,,,"),
        "@: line 5: advance_deg \"x\" is not a number from -32768 to 65535");
    add("text where a number belongs",
        header + row("0.125") + row("1", "2640,25,14V,45,200,100,"),
        "@: line 3: volts \"14V\" is not a number from -32768 to 65535");
    add("no infinity", header + row("0.125", "-inf,,,,,,"),
        "@: line 2: rpm \"-inf\" is not a number from -32768 to 65535");
    add("no exponent", header + row("0.125", ",,,,,,1e3"),
        "@: line 2: prop_deg \"1e3\" is not a number from -32768 to 65535");
    add("seconds with a sign", header + row("-1"),
        "@: line 2: seconds \"-1\" is not a plain number from 0 to 31622400");
    add("seconds beyond a year", header + row("0") + row("10000000000000000"),
        "@: line 3: seconds \"10000000000000000\" is not a plain number from 0 to 31622400");
    add("figures at a 16-bit field's ends", header + row("0", "-32768,65535,,,,,"),
        start.chopped(2) + "; 0 -32768 65535 nan nan nan nan nan");
    add("figure beyond 16 bits", header + row("0", ",,,,,70000,"),
        "@: line 2: pair34 \"70000\" is not a number from -32768 to 65535");
    add("figure below 16 bits", header + row("0", ",,,,,,-32768.5"),
        "@: line 2: prop_deg \"-32768.5\" is not a number from -32768 to 65535");
    add("blank lines skipped, counted", header + "\r\n" + row("1") + "\n" + row("0.5"),
        "@: line 5: seconds go back, from 1 to 0.5");
    add("seconds go back", header + row("1.5") + row("1.25"),
        "@: line 3: seconds go back, from 1.5 to 1.25");
    add("first time unreadable", header + row("0").replace(rowTime, "yesterday"),
        "@: line 2: time \"yesterday\" is not an ISO 8601 date and time");
    add("later time empty", header + row("0") + row("1").replace(rowTime, ""),
        "@: line 3: no time");
    add("fewer fields", header + row("0.125") + rowTime + ",1,2,3\r\n",
        "@: line 3: 4 fields, fewer than the header's 10");
    add("more fields", header + row("0.125", "1,2,3,4,5,6,7,8"),
        "@: line 2: more fields than the header's 10");
    add("text after a closing quote", header + row("0", "1,2,3,\"4\"5,6,7,8"),
        "@: line 2: text after the closing quote of field 6");
    add("unterminated quote", header + row("0", ",,,,,,", "\"" + QByteArray(70000, ',')),
        "@: line 2: a row longer than 65536 bytes (an unterminated quote?)");
    add("wrong header", "time,seconds,rpm\r\n" + row("0"), notRecording);
    add("header naming a column twice", header.chopped(2) + ",rpm\r\n" + row("0"), notRecording);
    add("not text", QByteArray("\x7F" "ELF\x02\x01\x01\0\0", 9), notRecording);
    add("empty file", "", "@: holds no rows");
    add("header only", header, "@: holds no rows");
}

void TestRecordingTable::loads()
{
    QFETCH(QByteArray, contents);
    QFETCH(QString, expected);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("recording.csv"));
    QVERIFY(write(path, contents, QIODevice::WriteOnly));
    RecordingTable table;
    table.seconds.push_back(99); // cleared first
    const RecordingLoad load = loadRecording(path, table);
    QCOMPARE(outcome(load, table, path), expected);
    QCOMPARE(table.rowOffsets.size(), table.rows());
}

void TestRecordingTable::lines_data()
{
    QTest::addColumn<QByteArray>("contents");
    QTest::addColumn<QString>("expected");
    const auto add = [](const char *name, const QByteArray &contents, const QString &expected) {
        QTest::newRow(name) << contents << expected;
    };
    add("columns by name, BOM, the others unread",
        "\xEF\xBB\xBFline,rpm,seconds\r\n=A,x,0.5\r\np7F,,0.75\r\n", "0.5:=A 0.75:p7F");
    add("quoted comma, doubled quotes, line ends",
        "seconds,line\n0.25,\"=A,\"\"B\"\n1,\"a\r\nb\"\n", "0.25:=A,\"B 1:a\\x0d\\x0ab");
    add("empty, binary and stray quotes as they stand",
        QByteArray("seconds,line\n0,\n1,\0\xff\n2,ab\"c\n", 28), "0: 1:\\x00\\xff 2:ab\"c");
    add("last row without its line end", "seconds,line\n0,a\n1,b", "0:a +cut");
    add("blank lines skipped, counted", "seconds,line\n\n1,a\r\n\r\n0.5,b\n",
        "run.csv: line 5: seconds go back, from 1 to 0.5");
    add("no seconds column", "time,line\n1,=A\n", "run.csv: line 1: no \"seconds\" column in the header");
    add("no line column", "seconds,lines\n1,=A\n", "run.csv: line 1: no \"line\" column in the header");
    add("seconds beyond a year", "seconds,line\n0,a\n31622400.001,b\n",
        "run.csv: line 3: seconds \"31622400.001\" is not a plain number from 0 to 31622400");
    add("unterminated quote", "seconds,line\n1,\"=A\n2,=B\n", "run.csv: line 2: unterminated quote");
    add("text after a closing quote", "seconds,line\n1,\"=A\"B\n",
        "run.csv: line 2: text after the closing quote of field 2");
    add("row too long", "seconds,line\n0,a\n1," + QByteArray(70000, 'x') + "\n",
        "run.csv: line 3: a row longer than 65536 bytes (an unterminated quote?)");
}

void TestRecordingTable::lines()
{
    QFETCH(QByteArray, contents);
    QFETCH(QString, expected);
    QBuffer whole(&contents);
    whole.open(QIODevice::ReadOnly);
    QCOMPARE(linesRead(whole), expected);
    TrickleDevice trickle(contents);
    QCOMPARE(linesRead(trickle), expected);
}

void TestRecordingTable::newRowsOfAGrowingFile()
{
    // Over 4 MB, so that rows cross the reads' chunk boundaries.
    QByteArrayList rows;
    int quotedLineFeeds = 0;
    for (int i = 0; i < 60000; ++i) {
        const bool quoted = i % 1000 == 999;
        quotedLineFeeds += quoted;
        rows << row(QByteArray::number(i / 48.0, 'f', 3), "2640,25,14,45,200,100,",
                    quoted ? "\"=0A50\n,\"\"\"" : "=0A50120000962DC864");
    }
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("growing.csv"));
    const QByteArray cut = row("1250.5");
    QVERIFY(write(path, header + rows.join() + cut.left(40), QIODevice::WriteOnly));
    RecordingTable table;
    RecordingLoad load = loadRecording(path, table);
    QVERIFY2(load.ok(), qPrintable(load.error));
    QVERIFY(load.lastRowIncomplete);
    QCOMPARE(table.rows(), size_t(rows.size()));

    rows << cut << row("1251");
    QVERIFY(write(path, cut.mid(40) + rows.last(), QIODevice::Append));
    load = loadNewRows(path, table);
    QVERIFY2(load.ok(), qPrintable(load.error));
    QVERIFY(!load.lastRowIncomplete);
    QCOMPARE(table.rows(), size_t(rows.size()));
    QCOMPARE(table.seconds.back(), 1251.0);
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    QCOMPARE(table.endOffset, uint32_t(bytes.size()));
    for (size_t i = 0; i < table.rows(); ++i) {
        const uint32_t end = i + 1 < table.rows() ? table.rowOffsets[i + 1] : table.endOffset;
        QCOMPARE(bytes.mid(table.rowOffsets[i], end - table.rowOffsets[i]), rows[qsizetype(i)]);
    }

    // A bad row names its line and leaves the table as it was.
    QVERIFY(write(path, row("1250"), QIODevice::Append));
    load = loadNewRows(path, table);
    QCOMPARE(load.error, QStringLiteral("%1: line %2: seconds go back, from 1251 to 1250")
                             .arg(path)
                             .arg(rows.size() + quotedLineFeeds + 2));
    QCOMPARE(table.rows(), size_t(rows.size()));
    QVERIFY(QFile::resize(path, 1000));
    QCOMPARE(loadNewRows(path, table).error, path + ": shorter than when it was read");
}

void TestRecordingTable::pyramidMatchesBruteForce_data()
{
    QTest::addColumn<int>("rows");
    QTest::addColumn<double>("nanShare");
    for (const int rows : {0, 1, 7, 8, 9, 63, 64, 65, 700, 5000, 40000})
        QTest::addRow("%d rows", rows) << rows << 0.1;
    QTest::newRow("mostly NaN") << 3000 << 0.98;
    QTest::newRow("all NaN") << 100 << 1.0;
}

void TestRecordingTable::pyramidMatchesBruteForce()
{
    QFETCH(int, rows);
    QFETCH(double, nanShare);
    std::mt19937 random{uint32_t(rows)};
    std::uniform_real_distribution<float> value(-1000, 1000);
    std::bernoulli_distribution empty(nanShare);
    std::vector<float> column;
    MinMaxPyramid pyramid(column);
    // Appended to in uneven steps, as a growing recording is.
    for (size_t target : {size_t(rows) / 3, size_t(rows) / 3 + 5, size_t(rows)}) {
        while (column.size() < target)
            column.push_back(empty(random) ? NAN : value(random));
        pyramid.extend(column);
        std::uniform_int_distribution<size_t> index(0, column.size() + 2);
        for (int query = 0; query < 500; ++query) {
            const size_t first = index(random);
            const size_t last = query % 5 ? index(random) : first + query % 9;
            const MinMaxPyramid::Range got = pyramid.query(column, first, last);
            const MinMaxPyramid::Range want =
                bruteForce(column, first, std::min(last, column.size()));
            const bool same = got.empty() ? want.empty()
                                          : got.minimum == want.minimum
                                                && got.maximum == want.maximum;
            QVERIFY2(same, qPrintable(QStringLiteral("rows %1 to %2 of %3")
                                          .arg(first)
                                          .arg(last)
                                          .arg(column.size())));
        }
    }
}

void TestRecordingTable::runsAndGaps_data()
{
    QTest::addColumn<QString>("rows");
    QTest::addColumn<QString>("runs");
    QTest::addColumn<QString>("gaps");
    QTest::newRow("a gap splits a run, NaN and 49 RPM end one, one runs to the end")
        << "0:0 0.5:60 1:900 1.5:900 3:900 3.5:49 4:1200 4.5:- 5:800 5.5:800"
        << "1-4 4-5 6-7 8-10" << "4";
    QTest::newRow("exactly a gap apart is no gap") << "0:50 1:50 2.5:50 9:0" << "0-2 2-3" << "2 3";
    QTest::newRow("no rows") << "" << "" << "";
}

void TestRecordingTable::runsAndGaps()
{
    QFETCH(QString, rows);
    QFETCH(QString, runs);
    QFETCH(QString, gaps);
    const RecordingTable table = madeUp(rows);
    QStringList found;
    for (const RowSpan &span : engineRuns(table))
        found << QStringLiteral("%1-%2").arg(span.first).arg(span.last);
    QCOMPARE(found.join(' '), runs);
    found.clear();
    for (const size_t start : gapStarts(table))
        found << QString::number(start);
    QCOMPARE(found.join(' '), gaps);
}

void TestRecordingTable::summary()
{
    RecordingTable table = madeUp("10:0 10.5:700 11:1500 11.5:- 13:2000 13.5:-");
    table.figures[size_t(Figure::Volts)] = {NAN, 13, 11.5f, 14, NAN, NAN};
    table.figures[size_t(Figure::Temperature)].assign(6, NAN);
    const RecordingSummary summary = summarize(table);
    QCOMPARE(summary.durationSeconds, 3.5);
    QCOMPARE(summary.rows, size_t(6));
    QCOMPARE(summary.runs.size(), size_t(2));
    QCOMPARE(summary.runs[0].seconds, 0.5);
    QCOMPARE(summary.runs[0].maximumRpm, 1500.0f);
    QCOMPARE(summary.runs[1].seconds, 0.0);
    QCOMPARE(summary.maximumAdvance, std::optional<float>(2000));
    QCOMPARE(summary.minimumVolts, std::optional<float>(11.5f));
    QCOMPARE(summary.maximumVolts, std::optional<float>(14));
    QVERIFY(!summary.maximumTemperature);
}

QTEST_GUILESS_MAIN(TestRecordingTable)
#include "test_recording_table.moc"
