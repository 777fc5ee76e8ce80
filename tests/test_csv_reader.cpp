// SPDX-License-Identifier: GPL-3.0-or-later
// The CSV reader, fed whole and a byte at a time.

#include "sim/csv_reader.h"

#include <QTest>

namespace {

constexpr qsizetype longestRow = 32;

// "line:field|field" per row, rows joined by " / ", line breaks shown as
// \r and \n; or "error line: text".
QString read(const QList<QByteArrayView> &pieces)
{
    CsvReader reader(longestRow);
    QList<CsvReader::Row> rows;
    for (QByteArrayView piece : pieces)
        rows += reader.feed(piece);
    rows += reader.finish();
    if (reader.failed())
        return QStringLiteral("error %1: %2").arg(reader.errorLine()).arg(reader.error());
    QStringList texts;
    for (const CsvReader::Row &row : rows) {
        QByteArray fields = row.fields.join('|');
        fields.replace('\r', "\\r").replace('\n', "\\n");
        texts << QString::number(row.line) + ':' + QString::fromLatin1(fields);
    }
    return texts.join(QStringLiteral(" / "));
}

} // namespace

class TestCsvReader : public QObject {
    Q_OBJECT

private slots:
    void rows_data()
    {
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<QString>("expected");
        const auto row = [](const char *name, const QByteArray &input,
                            const QByteArray &expected) {
            QTest::newRow(name) << input << QString::fromLatin1(expected);
        };
        row("LF ends", "a,b\nc,d\n", "1:a|b / 2:c|d");
        row("CR LF ends, none at the end", "a,b\r\nc,d", "1:a|b / 2:c|d");
        row("lone CR ends", "a\rb\r\r\nc", "1:a / 2:b / 4:c");
        row("quoted comma and doubled quotes", "\"x,y\",\"say \"\"hi\"\"\"\n", "1:x,y|say \"hi\"");
        row("quoted line breaks, lines counted", "\"a\r\nb\",c\n\"\n\"\nd",
            "1:a\\r\\nb|c / 3:\\n / 5:d");
        row("empty fields, blank lines skipped", "\n,\n\r\n\"\"\n", "2:| / 4:");
        row("stray quotes taken as they stand", "ab\"c,\"d\"e\n", "1:ab\"c|de");
        row("binary bytes", QByteArray("\0\xff,\x01\n", 5), QByteArray("1:\0\xff|\x01", 6));
        row("unterminated quote", "a\n\"b,c\nd", "error 2: unterminated quote");
        row("row too long", "ok\n" + QByteArray(longestRow, 'x') + "\n",
            "error 2: a row longer than 32 bytes");
        row("quote open to the cap", "ok\n\"" + QByteArray(longestRow, ','),
            "error 2: a row longer than 32 bytes (an unterminated quote?)");
    }

    void rows()
    {
        QFETCH(QByteArray, input);
        QFETCH(QString, expected);
        QCOMPARE(read({input}), expected);
        QList<QByteArrayView> bytes; // every state carried across a boundary
        for (qsizetype i = 0; i < input.size(); ++i)
            bytes << QByteArrayView(input).sliced(i, 1);
        QCOMPARE(read(bytes), expected);
    }
};

QTEST_GUILESS_MAIN(TestCsvReader)
#include "test_csv_reader.moc"
