// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/recording_file.h"

#include "sim/csv_reader.h"

#include <QFile>
#include <QRegularExpression>
#include <algorithm>
#include <cctype>
#include <optional>

namespace {

using Nanos = std::chrono::nanoseconds;

constexpr qint64 readChunkBytes = 64 * 1024;
constexpr qsizetype shownFieldBytes = 24;

// A field as an error message shows it: short, and without control bytes.
QString shown(QByteArrayView field)
{
    QString text = QString::fromLatin1(field.first(std::min(field.size(), shownFieldBytes)));
    for (QChar &c : text)
        if (c.unicode() < 0x20 || c.unicode() == 0x7F)
            c = QLatin1Char('?');
    return field.size() > shownFieldBytes ? text + QStringLiteral("...") : text;
}

QString secondsText(Nanos at)
{
    return QString::number(std::chrono::duration<double>(at).count(), 'f', 3);
}

std::optional<Nanos> secondsValue(const QByteArray &field)
{
    static const QRegularExpression number(QStringLiteral("^[0-9]+(\\.[0-9]+)?$"));
    if (!number.match(QString::fromLatin1(field)).hasMatch())
        return std::nullopt;
    const double seconds = field.toDouble();
    if (seconds > longestRecordingSeconds)
        return std::nullopt;
    return std::chrono::duration_cast<Nanos>(std::chrono::duration<double>(seconds));
}

bool isPropellerReply(QByteArrayView line)
{
    const auto hex = [](char c) { return std::isxdigit(static_cast<unsigned char>(c)) != 0; };
    return line.size() == 3 && line[0] == 'p' && hex(line[1]) && hex(line[2]);
}

// Takes the rows one by one; each method returns the problem it found, or
// nothing.
class RecordingBuilder {
public:
    QString add(const CsvReader::Row &row)
    {
        return headerFields == 0 ? readHeader(row) : addLine(row);
    }
    QString finish() const;
    std::shared_ptr<Recording> recording = std::make_shared<Recording>();

private:
    QString readHeader(const CsvReader::Row &row);
    QString addLine(const CsvReader::Row &row);

    qsizetype headerFields = 0;
    qsizetype secondsColumn = -1;
    qsizetype lineColumn = -1;
    Nanos latest{0};
};

QString RecordingBuilder::readHeader(const CsvReader::Row &row)
{
    QList<QByteArray> names = row.fields;
    // A spreadsheet may save the file with a UTF-8 byte order mark.
    if (names.first().startsWith("\xEF\xBB\xBF"))
        names.first().remove(0, 3);
    secondsColumn = names.indexOf("seconds");
    lineColumn = names.indexOf("line");
    for (const auto &[column, name] : {std::pair{secondsColumn, "seconds"}, {lineColumn, "line"}})
        if (column < 0)
            return QStringLiteral("no \"%1\" column in the header").arg(QLatin1String(name));
    headerFields = names.size();
    return {};
}

QString RecordingBuilder::addLine(const CsvReader::Row &row)
{
    if (row.fields.size() <= std::max(secondsColumn, lineColumn))
        return QStringLiteral("%1 fields, fewer than the header's %2")
            .arg(row.fields.size())
            .arg(headerFields);
    const QByteArray &seconds = row.fields[secondsColumn];
    const std::optional<Nanos> at = secondsValue(seconds);
    if (!at)
        return QStringLiteral("seconds \"%1\" is not a number from 0 to %2")
            .arg(shown(seconds))
            .arg(longestRecordingSeconds, 0, 'f', 0);
    if (*at < latest)
        return QStringLiteral("seconds go back, from %1 to %2")
            .arg(secondsText(latest), secondsText(*at));
    latest = *at;

    const QByteArray &line = row.fields[lineColumn];
    TimedLines *kept = line.startsWith('=')       ? &recording->telemetry
                       : isPropellerReply(line) ? &recording->propeller
                                                : nullptr;
    if (!kept)
        return {};
    if (recording->telemetry.size() + recording->propeller.size() >= mostRecordedLines)
        return QStringLiteral("more than %1 rows to replay; replay a shorter recording")
            .arg(mostRecordedLines);
    kept->append(*at, line);
    return {};
}

QString RecordingBuilder::finish() const
{
    if (headerFields == 0)
        return QStringLiteral("empty, not even a header line");
    if (recording->telemetry.isEmpty())
        return QStringLiteral("no telemetry row (a \"line\" starting with \"=\")");
    return {};
}

LoadedRecording failure(const QString &name, const QString &problem, qint64 line = 0)
{
    if (line > 0)
        return {nullptr, QStringLiteral("%1: line %2: %3").arg(name).arg(line).arg(problem)};
    return {nullptr, QStringLiteral("%1: %2").arg(name, problem)};
}

} // namespace

LoadedRecording loadRecording(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return failure(path, QStringLiteral("cannot open: ") + file.errorString());
    return readRecording(file, path);
}

LoadedRecording readRecording(QIODevice &input, const QString &name)
{
    CsvReader csv;
    RecordingBuilder builder;
    QByteArray chunk(readChunkBytes, Qt::Uninitialized);
    qint64 total = 0;
    for (bool end = false; !end;) {
        const qint64 got = input.read(chunk.data(), chunk.size());
        if (got < 0)
            return failure(name, QStringLiteral("cannot read: ") + input.errorString());
        total += got;
        if (total > largestRecordingBytes)
            return failure(name, QStringLiteral("larger than %1 MB; replay a shorter recording")
                                     .arg(largestRecordingBytes / (1024 * 1024)));
        end = got == 0;
        const QList<CsvReader::Row> rows =
            end ? csv.finish() : csv.feed(QByteArrayView(chunk).first(got));
        for (const CsvReader::Row &row : rows)
            if (const QString problem = builder.add(row); !problem.isEmpty())
                return failure(name, problem, row.line);
        if (csv.failed())
            return failure(name, csv.error(), csv.errorLine());
    }
    if (const QString problem = builder.finish(); !problem.isEmpty())
        return failure(name, problem);
    return {builder.recording, QString()};
}
