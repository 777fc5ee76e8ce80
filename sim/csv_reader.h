// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

// Comma-separated values as RFC 4180 writes them, read a piece at a time:
// a field in double quotes may hold commas, line breaks and doubled quotes;
// a row ends with CR LF, LF or a lone CR. Blank lines are skipped. Memory is
// bounded by the longest row allowed, whatever the input.
class CsvReader {
public:
    struct Row {
        QList<QByteArray> fields;
        qint64 line = 0; // where the row starts, from 1
    };

    static constexpr qsizetype defaultLongestRow = 64 * 1024;

    explicit CsvReader(qsizetype longestRow = defaultLongestRow);

    // The rows completed by `bytes`; nothing more after an error.
    QList<Row> feed(QByteArrayView bytes);
    // The end of the input: the last row when it has no line end.
    QList<Row> finish();

    bool failed() const { return !problem.isEmpty(); }
    QString error() const { return problem; }
    qint64 errorLine() const { return problemLine; }

private:
    enum class State { FieldStart, Unquoted, Quoted, QuoteInQuoted };

    void take(char c, QList<Row> &rows);
    bool growRow();
    void takeInRow(char c, QList<Row> &rows);
    void takeOutsideQuotes(char c, QList<Row> &rows);
    void countLine(char c);
    void endField();
    void endRow(QList<Row> &rows);
    void fail(const QString &text);

    qsizetype longestRow;
    State state = State::FieldStart;
    Row row;
    QByteArray field;
    qsizetype rowBytes = 0;
    qint64 line = 1;
    char previous = 0;
    bool lineFeedEndsNothing = false; // the LF of a CR LF that ended a row
    QString problem;
    qint64 problemLine = 0;
};
