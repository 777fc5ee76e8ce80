// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/csv_reader.h"

CsvReader::CsvReader(qsizetype longestRow) : longestRow(longestRow) {}

QList<CsvReader::Row> CsvReader::feed(QByteArrayView bytes)
{
    QList<Row> rows;
    for (char c : bytes) {
        if (failed())
            break;
        take(c, rows);
    }
    return rows;
}

QList<CsvReader::Row> CsvReader::finish()
{
    QList<Row> rows;
    if (failed())
        return rows;
    if (state == State::Quoted)
        fail(QStringLiteral("unterminated quote"));
    else if (rowBytes > 0)
        endRow(rows);
    return rows;
}

void CsvReader::take(char c, QList<Row> &rows)
{
    const bool endsNothing = lineFeedEndsNothing && c == '\n';
    lineFeedEndsNothing = false;
    if (!endsNothing && growRow())
        takeInRow(c, rows);
    countLine(c);
}

// False, with the reader failed, once the row is too long.
bool CsvReader::growRow()
{
    if (rowBytes == 0)
        row.line = line;
    if (++rowBytes <= longestRow)
        return true;
    const bool quoted = state == State::Quoted;
    fail(QStringLiteral("a row longer than %1 bytes%2")
             .arg(longestRow)
             .arg(quoted ? QStringLiteral(" (an unterminated quote?)") : QString()));
    return false;
}

void CsvReader::takeInRow(char c, QList<Row> &rows)
{
    if (state == State::Quoted) {
        if (c == '"')
            state = State::QuoteInQuoted;
        else
            field += c;
    } else if (state == State::QuoteInQuoted && c == '"') {
        field += '"';
        state = State::Quoted;
    } else {
        takeOutsideQuotes(c, rows);
    }
}

// A quote in mid-field, or text after a closing quote, is taken as it
// stands rather than refused.
void CsvReader::takeOutsideQuotes(char c, QList<Row> &rows)
{
    switch (c) {
    case ',':
        endField();
        return;
    case '\r':
    case '\n':
        lineFeedEndsNothing = c == '\r';
        endRow(rows);
        return;
    case '"':
        if (state == State::FieldStart) {
            state = State::Quoted;
            return;
        }
        break;
    default:
        break;
    }
    field += c;
    state = State::Unquoted;
}

void CsvReader::countLine(char c)
{
    if (c == '\r' || (c == '\n' && previous != '\r'))
        ++line;
    previous = c;
}

// Copied rather than shared, so that the next field reuses the buffer.
void CsvReader::endField()
{
    row.fields.append(QByteArray(field.constData(), field.size()));
    field.resize(0);
    state = State::FieldStart;
}

void CsvReader::endRow(QList<Row> &rows)
{
    const bool blank = row.fields.isEmpty() && field.isEmpty() && state == State::FieldStart;
    const qsizetype fields = row.fields.size() + 1;
    if (!blank) {
        endField();
        rows.append(std::move(row));
    }
    row = Row();
    row.fields.reserve(fields);
    rowBytes = 0;
}

void CsvReader::fail(const QString &text)
{
    problem = text;
    problemLine = row.line;
}
