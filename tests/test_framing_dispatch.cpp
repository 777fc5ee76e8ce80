#include "protocol/line_dispatch.h"
#include "support/form_fixture.h"

#include <QLineEdit>
#include <QtTest>

// Receive framing and dispatch, observed through the temperature box (set by
// every telemetry line) and the status box (set by stream acknowledgements).
class TestFramingDispatch : public QObject {
    Q_OBJECT
private slots:
    void classifies_data();
    void classifies();
    void fieldsAreCutByPosition();
    void framing_data();
    void framing();
    void everyLineOnceAtAnyChunkSize_data();
    void everyLineOnceAtAnyChunkSize();
    void otherCommEventsIgnored();
    void emptyReceiveLeavesBuffer();
    void unterminatedNoiseIsCapped();
    void terminatedLongBufferStillDispatches();
    void leftoverFromOtherPortDecidesDecoder();
};

void TestFramingDispatch::classifies_data()
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

void TestFramingDispatch::classifies()
{
    QFETCH(QByteArray, line);
    QTEST(int(classifyLine(line)), "kind");
}

void TestFramingDispatch::fieldsAreCutByPosition()
{
    QCOMPARE(fieldAt("c05\r", 2, 2), QByteArrayView("05"));
    QCOMPARE(fieldAt("c5\r", 2, 2), QByteArrayView("5\r"));
    QCOMPARE(fieldAt("c\r", 2, 2), QByteArrayView("\r"));
    QVERIFY(fieldAt("c", 2, 2).isEmpty());
    QVERIFY(fieldAt("", 14, 2).isEmpty());
}

// Chunks as the port delivers them; the temperature each dispatch leaves.
void TestFramingDispatch::framing_data()
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
}

void TestFramingDispatch::framing()
{
    QFETCH(QByteArrayList, chunks);
    QFETCH(QStringList, temperatures);
    FormFixture f;
    for (int i = 0; i < chunks.size(); ++i) {
        f.receive(chunks[i]);
        QCOMPARE(f.form.tempdata->text(), temperatures[i]);
    }
    QTEST(f.form.rxBuffer, "leftover");
}

// A recorded stream of mixed lines and endings, each line leaving a visible
// trace, cut into chunks of every size an adapter might deliver.
void TestFramingDispatch::everyLineOnceAtAnyChunkSize_data()
{
    QTest::addColumn<int>("chunkSize");
    for (int size = 1; size <= 64; ++size)
        QTest::newRow(qPrintable(QString::number(size))) << size;
}

void TestFramingDispatch::everyLineOnceAtAnyChunkSize()
{
    QFETCH(int, chunkSize);
    const QByteArray stream = "/I1\r"
                              "=0BB81E000082231020\r"
                              "z5A\r\n"
                              "=0BB81E000082241020\r\n"
                              "/D5\r"
                              "=0BB81E000082251020\n"
                              "z5B\r"
                              "/I0\r\n"
                              "=0BB81E000082261020\r"
                              "/D3\n"
                              "=0BB81E000082271020\r\n"
                              "/I1\r";
    const QStringList expected{"status Stream Mode", "temp 35", "maxtemp 90", "temp 36",
                               "cycle 5", "temp 37", "maxtemp 91", "status ", "temp 38",
                               "cycle 3", "temp 39", "status Stream Mode"};
    FormFixture f;
    QStringList seen;
    const auto record = [&seen](QLineEdit *box, const char *name) {
        QObject::connect(box, &QLineEdit::textChanged, box, [&seen, name](const QString &text) {
            seen << QStringLiteral("%1 %2").arg(name, text);
        });
    };
    record(f.form.statusbox, "status");
    record(f.form.tempdata, "temp");
    record(f.form.maxtempdata, "maxtemp");
    record(f.form.cycledata, "cycle");
    for (qsizetype at = 0; at < stream.size(); at += chunkSize)
        f.receive(stream.mid(at, chunkSize));
    QCOMPARE(seen, expected);
    QVERIFY(f.form.rxBuffer.isEmpty());
}

void TestFramingDispatch::otherCommEventsIgnored()
{
    FormFixture f;
    f.port->receive("=00");
    f.port->raiseEvent(1);
    QCOMPARE(f.form.rxBuffer, QByteArray("=00"));
}

void TestFramingDispatch::emptyReceiveLeavesBuffer()
{
    FormFixture f;
    f.receive("");
    QVERIFY(f.form.rxBuffer.isEmpty());
    f.receive("=0");
    f.receive("");
    QCOMPARE(f.form.rxBuffer, QByteArray("=0"));
}

void TestFramingDispatch::unterminatedNoiseIsCapped()
{
    FormFixture f;
    const QByteArray noise(1000, 'A');
    for (int i = 0; i < 10000; ++i) {
        f.receive(noise);
        QVERIFY(f.form.rxBuffer.size() <= 4096);
    }
    // Good lines get through once the noise stops.
    f.form.rxBuffer.clear();
    f.receive("=0000000000002A0000\r");
    QCOMPARE(f.form.tempdata->text(), QStringLiteral("42"));
}

void TestFramingDispatch::terminatedLongBufferStillDispatches()
{
    FormFixture f;
    f.receive("=0000000000002A00" + QByteArray(3000, '0'));
    f.receive(QByteArray(1000, '0') + "\r");
    QCOMPARE(f.form.tempdata->text(), QStringLiteral("42"));
    QVERIFY(f.form.rxBuffer.isEmpty());
}

void TestFramingDispatch::leftoverFromOtherPortDecidesDecoder()
{
    FormFixture f;
    f.form.com1_Click();
    f.receive("/I");
    f.form.com2_Click();
    QCOMPARE(f.form.rxBuffer, QByteArray("/I"));
    f.receive("1\r");
    QCOMPARE(f.form.statusbox->text(), QStringLiteral("Stream Mode"));
}

QTEST_MAIN(TestFramingDispatch)
#include "test_framing_dispatch.moc"
