// SPDX-License-Identifier: GPL-3.0-or-later
#include "recording/recording_table.h"
#include "viewer/strip_chart.h"
#include "viewer/summary_text.h"
#include "viewer/viewed_recording.h"

#include <QApplication>
#include <QBuffer>
#include <QImage>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

// Reads arbitrary bytes as a recording, for viewing and for a replay, checks
// what the reader accepted, and draws an accepted recording as the viewer
// does: in full, zoomed in, at the narrowest view, in seconds and fitted.

namespace {

const QString name = QStringLiteral("fuzz.csv");

void require(bool holds, const char *what)
{
    if (!holds) {
        std::fprintf(stderr, "recording-file-fuzzer: %s\n", what);
        std::abort();
    }
}

void checkTable(const RecordingTable &table, const RecordingLoad &load, qint64 size,
                RowContent content)
{
    require(load.ok() || table.rows() == 0, "a refused file left rows");
    require(load.ok() || load.error.startsWith(name + QLatin1Char(':')), "an error without the file");
    const size_t rows = table.rows();
    require(table.rowOffsets.size() == rows, "row offsets and seconds differ in length");
    const size_t figureRows = content == RowContent::Figures ? rows : 0;
    for (const std::vector<float> &column : table.figures)
        require(column.size() == figureRows, "a figure column of another length");
    require(table.lines.size() == (content == RowContent::Lines ? rows : 0),
            "lines and seconds differ in length");
    for (size_t row = 0; row < rows; ++row) {
        const double seconds = table.seconds[row];
        require(!std::isnan(seconds), "seconds NaN");
        require(seconds >= 0 && seconds <= longestRecordingSeconds, "seconds out of bounds");
        require(row == 0 || seconds >= table.seconds[row - 1], "seconds decrease");
        require(row == 0 || table.rowOffsets[row] > table.rowOffsets[row - 1],
                "row offsets not increasing");
        for (size_t f = 0; f < figureRows && f < figureCount; ++f) {
            const float value = table.figures[f][row];
            require(std::isnan(value) || (value >= lowestFigure && value <= highestFigure),
                    "a figure out of bounds");
        }
    }
    require(rows == 0 || (table.rowOffsets.back() < table.endOffset && table.endOffset <= size),
            "rows end beyond the file");
}

RecordingLoad read(const QByteArray &bytes, RecordingTable &table, RowContent content)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    const RecordingLoad load = readRecording(buffer, name, table, content);
    checkTable(table, load, bytes.size(), content);
    return load;
}

void render(StripChart &chart)
{
    QImage image(chart.size(), QImage::Format_ARGB32_Premultiplied);
    chart.render(&image);
}

void draw(const ViewedRecording &recording)
{
    StripChart chart(recording);
    chart.resize(640, 420);
    render(chart);
    const TimeSpan all = chart.visibleSeconds();
    chart.setVisibleSeconds(all.first + all.length() * 0.4, all.first + all.length() * 0.45);
    chart.setCursorSeconds(all.first + all.length() * 0.42);
    render(chart);
    chart.setTimeAxis(TimeAxis::Seconds);
    chart.setFitToData(true);
    chart.setVisibleSeconds(all.last - narrowestSpanSeconds, all.last);
    render(chart);
    summaryText(recording);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    new QApplication(*argc, *argv); // lives for the whole run
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    RecordingTable lines;
    read(bytes, lines, RowContent::Lines);
    RecordingTable figures;
    const RecordingLoad load = read(bytes, figures, RowContent::Figures);
    if (load.ok())
        if (const auto recording = ViewedRecording::fromTable(std::move(figures), load.lastRowIncomplete))
            draw(*recording);
    return 0;
}
