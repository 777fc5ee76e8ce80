// SPDX-License-Identifier: GPL-3.0-or-later
#include "protocol/line_kind.h"
#include "support/link_fixture.h"

#include <QtTest>

namespace {

// Every line the link decodes, as received.
struct LineLog {
    QByteArrayList texts;
    explicit LineLog(UnitLink &link)
    {
        QObject::connect(&link, &UnitLink::lineDecoded, &link,
                         [this](const DecodedLine &line) { texts << line.text; });
    }
};

const QByteArray line42 = "=0000000000002A0000\r"; // telemetry, temperature 42

} // namespace

// Receive framing and dispatch, observed through the lines decoded and the
// state they leave.
class TestFramingAndKinds : public QObject {
    Q_OBJECT
private slots:
    void classifies_data();
    void classifies();
    void fieldsAreCutByPosition();
    void framing_data();
    void framing();
    void everyLineOnceAtAnyChunkSize_data();
    void everyLineOnceAtAnyChunkSize();
    void noiseIsCapped_data();
    void noiseIsCapped();
    void leftoverFromOtherPortDecidesDecoder();
};

void TestFramingAndKinds::classifies_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<int>("kind");
    QTest::newRow("telemetry") << QByteArray("=0000\r") << int(LineKind::Telemetry);
    QTest::newRow("ack") << QByteArray("/W\r") << int(LineKind::Acknowledgement);
    for (char c : QByteArrayView(replyLetters))
        QTest::newRow(QByteArray(1, c).constData()) << QByteArray(1, c) + "00\r"
                                                    << int(LineKind::Reply);
    QTest::newRow("upper P") << QByteArray("P00\r") << int(LineKind::Ignored);
    QTest::newRow("lone CR") << QByteArray("\r") << int(LineKind::Ignored);
    QTest::newRow("lone LF") << QByteArray("\n") << int(LineKind::Ignored);
    QTest::newRow("digit") << QByteArray("1\r") << int(LineKind::Ignored);
    QTest::newRow("NUL") << QByteArray(1, '\0') + "\r" << int(LineKind::Ignored);
    QTest::newRow("empty") << QByteArray() << int(LineKind::Ignored);
    QTest::newRow("a (not a reply)") << QByteArray("a00\r") << int(LineKind::Ignored);
}

void TestFramingAndKinds::classifies()
{
    QFETCH(QByteArray, line);
    QTEST(int(classifyLine(line)), "kind");
}

void TestFramingAndKinds::fieldsAreCutByPosition()
{
    QCOMPARE(fieldAt("c05\r", 2, 2), QByteArrayView("05"));
    QCOMPARE(fieldAt("c5\r", 2, 2), QByteArrayView("5\r"));
    QCOMPARE(fieldAt("c\r", 2, 2), QByteArrayView("\r"));
    QVERIFY(fieldAt("c", 2, 2).isEmpty());
    QVERIFY(fieldAt("", 14, 2).isEmpty());
}

// Chunks as the port delivers them; the temperature each leaves. What is
// left unfinished shows when a final CR completes it.
void TestFramingAndKinds::framing_data()
{
    QTest::addColumn<QByteArrayList>("chunks");
    QTest::addColumn<QStringList>("temperatures"); // after each chunk
    QTest::addColumn<QByteArray>("leftover");

    const QByteArray t35 = "=0000000000002300";
    QTest::newRow("one line") << QByteArrayList{t35 + "00\r"} << QStringList{"35"} << QByteArray();
    QTest::newRow("line in two chunks")
        << QByteArrayList{"=000000000000", "3A0000\r"} << QStringList{"", "58"} << QByteArray();
    QTest::newRow("CR LF in one chunk") << QByteArrayList{t35 + "00\r\n"} << QStringList{"35"}
                                        << QByteArray();
    QTest::newRow("CR and LF apart") << QByteArrayList{t35 + "00\r", "\n"}
                                     << QStringList{"35", "35"} << QByteArray();
    QTest::newRow("line and start of next")
        << QByteArrayList{t35 + "00\r=000000000000", "1100\r"} << QStringList{"35", "17"}
        << QByteArray();
    QTest::newRow("unfinished stays") << QByteArrayList{"=0000"} << QStringList{""}
                                      << QByteArray("=0000");
    QTest::newRow("LF of CR LF then a line")
        << QByteArrayList{QByteArray("\n") + t35 + "00\r"} << QStringList{"35"} << QByteArray();
    QTest::newRow("two lines, the second short")
        << QByteArrayList{t35 + "00\r=00\r"} << QStringList{"0"} << QByteArray();
    QTest::newRow("lines then an unfinished one")
        << QByteArrayList{"/I1\r" + t35 + "00\r\n=00"} << QStringList{"35"} << QByteArray("=00");
    QTest::newRow("empty chunks change nothing")
        << QByteArrayList{"", line42.left(2), "", line42.mid(2)} << QStringList{"", "", "", "42"}
        << QByteArray();
    // Well past any unit line, but finished before the cap.
    QTest::newRow("long line") << QByteArrayList{"=0000000000002A00" + QByteArray(3000, '0'),
                                                 QByteArray(1000, '0') + "\r"}
                               << QStringList{"", "42"} << QByteArray();
}

void TestFramingAndKinds::framing()
{
    QFETCH(QByteArrayList, chunks);
    QFETCH(QStringList, temperatures);
    QFETCH(QByteArray, leftover);
    LinkFixture f;
    for (int i = 0; i < chunks.size(); ++i) {
        f.receive(chunks[i]);
        QCOMPARE(f.link.state().temperatureText, temperatures[i]);
    }
    LineLog log(f.link);
    f.receive("\r");
    QCOMPARE(log.texts, leftover.isEmpty() ? QByteArrayList() : QByteArrayList{leftover + "\r"});
}

// A recorded stream of mixed lines and endings cut into chunks of every size
// an adapter might deliver: each line comes out once, whole, in order.
void TestFramingAndKinds::everyLineOnceAtAnyChunkSize_data()
{
    QTest::addColumn<int>("chunkSize");
    for (int size = 1; size <= 64; ++size)
        QTest::newRow(qPrintable(QString::number(size))) << size;
}

void TestFramingAndKinds::everyLineOnceAtAnyChunkSize()
{
    QFETCH(int, chunkSize);
    const QByteArrayList lines{"/I1\r",
                               "=0BB81E000082231020\r",
                               "z5A\r\n",
                               "=0BB81E000082241020\r\n",
                               "/D5\r",
                               "=0BB81E000082251020\n",
                               "z5B\r",
                               "/I0\r\n",
                               "=0BB81E000082261020\r",
                               "/D3\n",
                               "=0BB81E000082271020\r\n",
                               "/I1\r"};
    QByteArrayList expected;
    for (const QByteArray &line : lines)
        expected << (line.endsWith("\r\n") ? line.chopped(1) : line);
    const QByteArray stream = lines.join();

    LinkFixture f;
    LineLog log(f.link);
    QSignalSpy status(&f.link, &UnitLink::statusChanged);
    for (qsizetype at = 0; at < stream.size(); at += chunkSize)
        f.receive(stream.mid(at, chunkSize));
    QCOMPARE(log.texts, expected);
    // Each reached its handler.
    QCOMPARE(status.size(), 3);
    QCOMPARE(f.link.status(), QStringLiteral("Stream Mode"));
    QCOMPARE(f.link.state().temperatureText, QStringLiteral("39"));
    QCOMPARE(f.link.state().maxTemperatureText, QStringLiteral("91"));
    QCOMPARE(f.link.state().setting(Setting::StartDelay).shown, QStringLiteral("3"));
}

// Noise without a line end is dropped once it passes 4096 bytes, so the next
// good line is not glued to it.
void TestFramingAndKinds::noiseIsCapped_data()
{
    QTest::addColumn<QByteArrayList>("noise");
    QTest::addColumn<QString>("temperature");
    QTest::newRow("4097 bytes at once") << QByteArrayList{QByteArray(4097, 'A')} << "42";
    QTest::newRow("10000 bytes in pieces") << QByteArrayList(10, QByteArray(1000, 'A')) << "42";
    QTest::newRow("4096 bytes are kept") << QByteArrayList{QByteArray(4096, 'A')} << "";
}

void TestFramingAndKinds::noiseIsCapped()
{
    QFETCH(QByteArrayList, noise);
    LinkFixture f;
    LineLog log(f.link);
    for (const QByteArray &chunk : noise)
        f.receive(chunk);
    f.receive(line42);
    QCOMPARE(log.texts.size(), 1);
    QTEST(f.link.state().temperatureText, "temperature");
}

void TestFramingAndKinds::leftoverFromOtherPortDecidesDecoder()
{
    LinkFixture f;
    f.link.openPort(1);
    f.receive("/I");
    f.link.openPort(2);
    f.receive("1\r");
    QCOMPARE(f.link.status(), QStringLiteral("Stream Mode"));
}

QTEST_MAIN(TestFramingAndKinds)
#include "test_framing_and_kinds.moc"
