// SPDX-License-Identifier: GPL-3.0-or-later
#include "recording/recording_table.h"

#include <QFile>
#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <functional>
#include <limits>
#include <memory>

namespace {


constexpr qint64 chunkBytes = 4 * 1024 * 1024;
// The console's rows are well under 200 bytes; this stops an unterminated quote
// from taking the whole file, and bounds what is carried between chunks.
constexpr qint64 longestRow = 64 * 1024;
// A little under the console's 80 bytes a row, so that a real recording
// never outgrows its reservation: pages reserved but never written cost no
// memory.
constexpr qint64 reservedBytesPerRow = 64;
constexpr qsizetype shownFieldBytes = 24;
constexpr float noNumber = std::numeric_limits<float>::quiet_NaN();

// What each column of the file feeds; the figures are 0 to figureCount - 1.
constexpr int skippedColumn = -1;
constexpr int timeColumn = figureCount;
constexpr int secondsColumn = figureCount + 1;
constexpr int lineColumn = figureCount + 2;

QString expectedHeader()
{
    QString names = QStringLiteral("time,seconds");
    for (const Figure figure : allFigures())
        names += QLatin1Char(',') + QLatin1String(figureInfo(figure).column);
    return names + QStringLiteral(",line");
}

QString failure(const QString &path, const QString &problem)
{
    return QStringLiteral("%1: %2").arg(path, problem);
}

QString failure(const QString &path, qint64 line, const QString &problem)
{
    return QStringLiteral("%1: line %2: %3").arg(path).arg(line).arg(problem);
}

QString notARecording(const QString &path)
{
    return failure(path, 1,
                   QStringLiteral("not a Torvane recording (the header is not %1)")
                       .arg(expectedHeader()));
}

QString missingColumn(const QString &path, const char *name)
{
    return failure(path, 1,
                   QStringLiteral("no \"%1\" column in the header").arg(QLatin1String(name)));
}

QString tooLarge(const QString &path)
{
    return failure(path, QStringLiteral("larger than %1 bytes, too large to view")
                             .arg(largestViewedRecordingBytes));
}

// A field as an error message shows it: short, and without control bytes.
QString shown(const char *begin, const char *end)
{
    const qsizetype size = end - begin;
    QString text = QString::fromLatin1(begin, std::min(size, shownFieldBytes));
    for (QChar &c : text)
        if (c.unicode() < 0x20 || c.unicode() == 0x7F)
            c = QLatin1Char('?');
    return size > shownFieldBytes ? text + QStringLiteral("...") : text;
}

bool isDigit(char c)
{
    return static_cast<unsigned char>(c - '0') < 10;
}

struct Field {
    const char *begin = nullptr; // the text, without its quotes
    const char *end = nullptr;
    const char *next = nullptr; // after the comma or line end
    bool endsLine = false;
    bool quoted = false;
    int lineFeeds = 0; // inside quotes
};

enum class Scan { Done, NeedMore, Broken };

// One RFC 4180 field starting at p. NeedMore when the bytes stop before its
// comma or line end: nothing is judged until a field is whole, so a row cut
// off by a killed console is never taken for a bad one.
Scan scanField(const char *p, const char *end, Field &field)
{
    if (p == end)
        return Scan::NeedMore;
    field.lineFeeds = 0;
    field.quoted = *p == '"';
    const char *q = p;
    if (*p == '"') {
        for (q = p + 1;; q += 2) {
            q = static_cast<const char *>(std::memchr(q, '"', size_t(end - q)));
            if (!q || q + 1 == end)
                return Scan::NeedMore;
            if (q[1] != '"')
                break;
        }
        field.begin = p + 1;
        field.end = q;
        field.lineFeeds = int(std::count(p + 1, q, '\n'));
        ++q;
        if (*q == '\r') {
            if (q + 1 == end)
                return Scan::NeedMore;
            ++q;
            if (*q != '\n')
                return Scan::Broken;
        }
        if (*q != ',' && *q != '\n')
            return Scan::Broken;
    } else {
        while (q != end && *q != ',' && *q != '\n')
            ++q;
        if (q == end)
            return Scan::NeedMore;
        field.begin = p;
        field.end = *q == '\n' && q != p && q[-1] == '\r' ? q - 1 : q;
    }
    field.endsLine = *q == '\n';
    field.next = q + 1;
    return Scan::Done;
}

// A figure: empty (NaN), or a decimal number with an optional "-".
bool parseFigure(const char *begin, const char *end, float &value)
{
    if (begin == end) {
        value = noNumber;
        return true;
    }
    const char *digits = begin + (*begin == '-');
    if (digits == end)
        return false;
    // The console writes whole numbers: read those without from_chars.
    if (end - digits <= 9) {
        int whole = 0;
        const char *p = digits;
        for (; p != end && isDigit(*p); ++p)
            whole = whole * 10 + (*p - '0');
        if (p == end) {
            value = digits == begin ? float(whole) : -float(whole);
            return true;
        }
    }
    // from_chars would take "inf" and "nan".
    if (!isDigit(*digits) && *digits != '.')
        return false;
    const auto [stop, error] = std::from_chars(begin, end, value, std::chars_format::fixed);
    return error == std::errc() && stop == end;
}

bool isFigure(float value)
{
    return !(value < lowestFigure || value > highestFigure); // NaN: an empty field
}

// Digits, optionally a point and more digits.
bool parseSeconds(const char *begin, const char *end, double &value)
{
    static constexpr double powersOfTen[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                             1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
    uint64_t number = 0;
    int digits = 0;
    int decimals = 0;
    const char *p = begin;
    for (; p != end && isDigit(*p); ++p, ++digits)
        number = digits < 19 ? number * 10 + uint64_t(*p - '0') : number;
    if (digits == 0)
        return false;
    if (p != end && *p == '.') {
        for (++p; p != end && isDigit(*p); ++p, ++decimals)
            number = digits + decimals < 19 ? number * 10 + uint64_t(*p - '0') : number;
        if (decimals == 0)
            return false;
    }
    if (p != end)
        return false;
    // Below 2^53 the quotient of two exact doubles is the correctly rounded
    // decimal, as from_chars would give it.
    if (digits + decimals <= 15) {
        value = double(number) / powersOfTen[decimals];
        return true;
    }
    const auto [stop, error] = std::from_chars(begin, end, value, std::chars_format::fixed);
    return error == std::errc() && stop == end;
}

// Each load reads only the columns it keeps.
bool isKept(int role, RowContent content)
{
    return role == secondsColumn || (content == RowContent::Lines) == (role == lineColumn);
}

int roleOf(QByteArrayView name, RowContent content)
{
    int role = name == "time"      ? timeColumn
               : name == "seconds" ? secondsColumn
               : name == "line"    ? lineColumn
                                   : skippedColumn;
    for (int figure = 0; figure < figureCount; ++figure)
        if (name == figureInfo(Figure(figure)).column)
            role = figure;
    return role != skippedColumn && isKept(role, content) ? role : skippedColumn;
}

// A header line as read: the role of each column, or why it is refused.
struct HeaderColumns {
    std::vector<int> roles;
    bool readable = true; // every field whole, no kept column named twice
    int missing = skippedColumn;
    bool ok() const { return readable && missing == skippedColumn; }
};

// `line` ends with its LF.
HeaderColumns columnRoles(QByteArrayView line, RowContent content)
{
    if (line.startsWith("\xEF\xBB\xBF"))
        line = line.sliced(3);
    HeaderColumns header;
    std::array<bool, figureCount + 3> found{};
    const char *p = line.data();
    const char *end = p + line.size();
    for (Field field; !field.endsLine; p = field.next) {
        if (scanField(p, end, field) != Scan::Done) {
            header.readable = false;
            return header;
        }
        const int role = roleOf(QByteArrayView(field.begin, field.end - field.begin), content);
        if (role != skippedColumn) {
            header.readable = header.readable && !found[size_t(role)];
            found[size_t(role)] = true;
        }
        header.roles.push_back(role);
    }
    for (int role = 0; role < int(found.size()) && header.missing == skippedColumn; ++role)
        if (isKept(role, content) && !found[size_t(role)])
            header.missing = role;
    return header;
}

// A replay names the column it lacks; the viewer, the whole header it wants.
QString headerProblem(const HeaderColumns &header, RowContent content, const QString &path)
{
    if (content == RowContent::Lines && header.readable)
        return missingColumn(path, header.missing == lineColumn ? "line" : "seconds");
    return notARecording(path);
}

// CR LF or LF alone: a line a spreadsheet may leave.
const char *blankLineEnd(const char *p, const char *end)
{
    if (p != end && *p == '\n')
        return p + 1;
    if (end - p >= 2 && p[0] == '\r' && p[1] == '\n')
        return p + 2;
    return nullptr;
}

// The file a chunk at a time; the start of a row cut off by a chunk's end is
// carried over to the next.
class Chunks {
public:
    Chunks(QIODevice &file, qint64 offset) : file(file), bufferOffset(offset) {}

    const char *begin() const { return buffer.get(); }
    const char *end() const { return buffer.get() + filled; }
    qint64 size() const { return filled; }
    bool atEnd() const { return ended; }
    qint64 offsetOf(const char *p) const { return bufferOffset + (p - begin()); }
    QString errorString() const { return file.errorString(); }

    // Keeps the bytes from `from` on (under longestRow of them) and reads
    // more after them. False when the file cannot be read.
    bool refill(const char *from)
    {
        const qint64 kept = end() - from;
        std::memmove(buffer.get(), from, size_t(kept));
        bufferOffset = offsetOf(from);
        filled = kept;
        const qint64 got = file.read(buffer.get() + filled, capacity - filled);
        if (got < 0)
            return false;
        filled += got;
        ended = got == 0;
        return true;
    }

private:
    static constexpr qint64 capacity = chunkBytes + longestRow;
    QIODevice &file;
    std::unique_ptr<char[]> buffer{new char[capacity]};
    qint64 bufferOffset;
    qint64 filled = 0;
    bool ended = false;
};

// Parses rows straight into the table's columns.
class RowReader {
public:
    RowReader(QIODevice &file, qint64 offset, const QString &path, RecordingTable &table)
        : chunks(file, offset), path(path), table(table)
    {
    }

    // The rows from p to the end of the file. Errors count lines from
    // firstLine(), asked only then.
    RecordingLoad readRows(const char *p, const std::function<qint64()> &firstLine);

    Chunks chunks;
    std::vector<int> roles;

private:
    enum class Parsed { Row, Blank, NeedMore, Bad };
    struct Row {
        double seconds = 0;
        std::array<float, figureCount> figures{};
        const char *timeBegin = nullptr;
        const char *timeEnd = nullptr;
        Field line;
        const char *next = nullptr;
        int lineFeeds = 0;
    };

    Parsed parseRow(const char *p, const char *end);
    bool keepRow(qint64 offset);

    const QString &path;
    RecordingTable &table;
    Row row;
    QString problem;
};

RowReader::Parsed RowReader::parseRow(const char *p, const char *end)
{
    const int columns = int(roles.size());
    row.lineFeeds = 0;
    if (const char *after = blankLineEnd(p, end)) {
        row.next = after;
        return Parsed::Blank;
    }
    Field field;
    for (int column = 0; column < columns; ++column, p = field.next) {
        switch (scanField(p, end, field)) {
        case Scan::NeedMore:
            return Parsed::NeedMore;
        case Scan::Broken:
            problem = QStringLiteral("text after the closing quote of field %1").arg(column + 1);
            return Parsed::Bad;
        case Scan::Done:
            break;
        }
        row.lineFeeds += field.lineFeeds;
        const int role = roles[size_t(column)];
        if (role >= 0 && role < figureCount) {
            float &value = row.figures[size_t(role)];
            if (!parseFigure(field.begin, field.end, value) || !isFigure(value)) {
                problem = QStringLiteral("%1 \"%2\" is not a number from %3 to %4")
                              .arg(QLatin1String(figureInfo(Figure(role)).column),
                                   shown(field.begin, field.end))
                              .arg(lowestFigure)
                              .arg(highestFigure);
                return Parsed::Bad;
            }
        } else if (role == secondsColumn) {
            if (!parseSeconds(field.begin, field.end, row.seconds)
                || row.seconds > longestRecordingSeconds) {
                problem = QStringLiteral("seconds \"%1\" is not a plain number from 0 to %2")
                              .arg(shown(field.begin, field.end))
                              .arg(longestRecordingSeconds, 0, 'f', 0);
                return Parsed::Bad;
            }
        } else if (role == lineColumn) {
            row.line = field;
        } else if (role == timeColumn) {
            row.timeBegin = field.begin;
            row.timeEnd = field.end;
        }
        if (field.endsLine != (column == columns - 1)) {
            problem = field.endsLine ? QStringLiteral("%1 fields, fewer than the header's %2")
                                           .arg(column + 1)
                                           .arg(columns)
                                     : QStringLiteral("more fields than the header's %1")
                                           .arg(columns);
            return Parsed::Bad;
        }
    }
    row.next = p;
    return Parsed::Row;
}

bool RowReader::keepRow(qint64 offset)
{
    if (table.rows() >= mostRecordingRows) {
        problem = QStringLiteral("more than %1 rows, too many to view").arg(mostRecordingRows);
        return false;
    }
    if (table.content == RowContent::Lines) {
        // Only the seconds are judged: the replay reads nothing else.
    } else if (table.rows() == 0) {
        const QString time = QString::fromLatin1(row.timeBegin, row.timeEnd - row.timeBegin);
        table.start = QDateTime::fromString(time, Qt::ISODateWithMs);
        if (!table.start.isValid()) {
            problem = QStringLiteral("time \"%1\" is not an ISO 8601 date and time")
                          .arg(shown(row.timeBegin, row.timeEnd));
            return false;
        }
    } else if (row.timeBegin == row.timeEnd) {
        problem = QStringLiteral("no time");
        return false;
    }
    if (table.rows() > 0 && row.seconds < table.seconds.back()) {
        const auto text = [](double seconds) {
            return QString::number(seconds, 'g', QLocale::FloatingPointShortest);
        };
        problem = QStringLiteral("seconds go back, from %1 to %2")
                      .arg(text(table.seconds.back()), text(row.seconds));
        return false;
    }
    table.seconds.push_back(row.seconds);
    if (table.content == RowContent::Lines)
        table.lines.append(QByteArrayView(row.line.begin, row.line.end), row.line.quoted);
    else
        for (size_t figure = 0; figure < figureCount; ++figure)
            table.figures[figure].push_back(row.figures[figure]);
    table.rowOffsets.push_back(uint32_t(offset));
    return true;
}

RecordingLoad RowReader::readRows(const char *p, const std::function<qint64()> &firstLine)
{
    RecordingLoad load;
    qint64 lineFeeds = 0; // before the row at p
    const auto fail = [&](const QString &problem) {
        load.error = failure(path, firstLine() + lineFeeds, problem);
        return load;
    };
    const QString tooLong =
        QStringLiteral("a row longer than %1 bytes (an unterminated quote?)").arg(longestRow);
    for (;;) {
        const char *end = chunks.end();
        for (Parsed parsed; (parsed = parseRow(p, end)) != Parsed::NeedMore;) {
            if (parsed == Parsed::Bad)
                return fail(problem);
            if (parsed == Parsed::Blank) {
                ++lineFeeds;
                p = row.next;
                continue;
            }
            if (row.next - p > longestRow)
                return fail(tooLong);
            if (!keepRow(chunks.offsetOf(p)))
                return fail(problem);
            lineFeeds += 1 + row.lineFeeds;
            p = row.next;
        }
        if (end - p >= longestRow)
            return fail(tooLong);
        // Unquoted, a row never spans a line end: this one's quote stays open.
        if (chunks.atEnd() && std::memchr(p, '\n', size_t(end - p)))
            return fail(QStringLiteral("unterminated quote"));
        if (chunks.atEnd())
            break;
        if (!chunks.refill(p)) {
            load.error = failure(path, QStringLiteral("cannot read: ") + chunks.errorString());
            return load;
        }
        // The file may grow while it is read; offsets must stay in 32 bits.
        if (chunks.offsetOf(chunks.end()) > largestViewedRecordingBytes) {
            load.error = tooLarge(path);
            return load;
        }
        p = chunks.begin();
    }
    table.endOffset = uint32_t(chunks.offsetOf(p));
    load.lastRowIncomplete = p != chunks.end();
    return load;
}

// 1 + the line feeds before `offset`: the line number there.
qint64 lineAt(const QString &path, qint64 offset)
{
    QFile file(path);
    qint64 line = 1;
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return line;
    std::vector<char> chunk(static_cast<size_t>(chunkBytes));
    while (offset > 0) {
        const qint64 got = file.read(chunk.data(), std::min(offset, chunkBytes));
        if (got <= 0)
            break;
        line += std::count(chunk.data(), chunk.data() + got, '\n');
        offset -= got;
    }
    return line;
}

RecordingLoad readTable(QIODevice &input, const QString &path, RecordingTable &table)
{
    const qint64 size = input.size();
    if (size > largestViewedRecordingBytes)
        return {tooLarge(path)};

    RowReader reader(input, 0, path, table);
    Chunks &chunks = reader.chunks;
    const char *lineFeed = nullptr;
    for (;;) {
        if (!chunks.refill(chunks.begin()))
            return {failure(path, QStringLiteral("cannot read: ") + input.errorString())};
        lineFeed = static_cast<const char *>(
            std::memchr(chunks.begin(), '\n', size_t(std::min(chunks.size(), longestRow))));
        if (lineFeed || chunks.atEnd() || chunks.size() >= longestRow)
            break;
    }
    if (chunks.size() == 0)
        return {failure(path, QStringLiteral("holds no rows"))};
    if (!lineFeed && !chunks.atEnd())
        return {notARecording(path)};
    const QByteArray header(chunks.begin(),
                            lineFeed ? lineFeed + 1 - chunks.begin() : chunks.size());
    const HeaderColumns columns = columnRoles(lineFeed ? header : header + '\n', table.content);
    if (!columns.ok())
        return {headerProblem(columns, table.content, path)};
    if (!lineFeed)
        return {failure(path, QStringLiteral("holds no rows"))};

    table.header = header;
    const size_t expectedRows =
        size_t(std::min<qint64>(size / reservedBytesPerRow + 1, mostRecordingRows));
    table.seconds.reserve(expectedRows);
    if (table.content == RowContent::Figures)
        for (std::vector<float> &column : table.figures)
            column.reserve(expectedRows);
    table.rowOffsets.reserve(expectedRows);
    reader.roles = columns.roles;
    const RecordingLoad load = reader.readRows(lineFeed + 1, [] { return qint64(2); });
    if (load.ok() && table.rows() == 0)
        return {failure(path, QStringLiteral("holds no rows"))};
    return load;
}

} // namespace

RecordingLoad readRecording(QIODevice &input, const QString &name, RecordingTable &table,
                            RowContent content)
{
    table = RecordingTable();
    table.content = content;
    RecordingLoad load = readTable(input, name, table);
    if (!load.ok())
        table = RecordingTable();
    return load;
}

RecordingLoad loadRecording(const QString &path, RecordingTable &table, RowContent content)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
        table = RecordingTable();
        return {failure(path, QStringLiteral("cannot read: ") + file.errorString())};
    }
    return readRecording(file, path, table, content);
}

RecordingLoad loadNewRows(const QString &path, RecordingTable &table)
{
    if (table.header.isEmpty())
        return loadRecording(path, table, table.content);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return {failure(path, QStringLiteral("cannot read: ") + file.errorString())};
    const qint64 size = file.size();
    if (size < table.endOffset)
        return {failure(path, QStringLiteral("shorter than when it was read"))};
    if (size > largestViewedRecordingBytes)
        return {tooLarge(path)};
    // The same header, and a line end where the rows read ended.
    char lastByte = 0;
    const HeaderColumns columns = columnRoles(table.header, table.content);
    if (!columns.ok() || file.read(table.header.size()) != table.header
        || !file.seek(qint64(table.endOffset) - 1) || file.read(&lastByte, 1) != 1
        || lastByte != '\n')
        return {failure(path, QStringLiteral("no longer the recording that was read"))};

    const size_t rows = table.rows();
    const uint32_t endOffset = table.endOffset;
    RowReader reader(file, endOffset, path, table);
    reader.roles = columns.roles;
    if (!reader.chunks.refill(reader.chunks.begin()))
        return {failure(path, QStringLiteral("cannot read: ") + file.errorString())};
    const RecordingLoad load =
        reader.readRows(reader.chunks.begin(), [&] { return lineAt(path, endOffset); });
    if (!load.ok()) {
        table.seconds.resize(rows);
        if (table.content == RowContent::Figures)
            for (std::vector<float> &column : table.figures)
                column.resize(rows);
        table.lines.truncate(rows);
        table.rowOffsets.resize(rows);
        table.endOffset = endOffset;
    }
    return load;
}
