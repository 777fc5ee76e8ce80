// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/replay_file.h"

#include "recording/recording_table.h"

#include <QFile>
#include <cctype>
#include <chrono>

namespace {

using Nanos = std::chrono::nanoseconds;

bool isPropellerReply(QByteArrayView line)
{
    const auto hex = [](char c) { return std::isxdigit(static_cast<unsigned char>(c)) != 0; };
    return line.size() == 3 && line[0] == 'p' && hex(line[1]) && hex(line[2]);
}

LoadedRecording failure(const QString &name, const QString &problem)
{
    return {nullptr, QStringLiteral("%1: %2").arg(name, problem)};
}

} // namespace

LoadedRecording openReplay(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return failure(path, QStringLiteral("cannot read: ") + file.errorString());
    return readReplay(file, path);
}

LoadedRecording readReplay(QIODevice &input, const QString &name)
{
    if (input.size() > largestRecordingBytes)
        return failure(name, QStringLiteral("larger than %1 MB; replay a shorter recording")
                                 .arg(largestRecordingBytes / (1024 * 1024)));
    RecordingTable table;
    const RecordingLoad load = readRecording(input, name, table, RowContent::Lines);
    if (!load.ok())
        return {nullptr, load.error};
    auto recording = std::make_shared<Recording>();
    for (size_t row = 0; row < table.rows(); ++row) {
        const QByteArrayView line = table.lines.at(row);
        TimedLines *kept = line.startsWith('=')     ? &recording->telemetry
                           : isPropellerReply(line) ? &recording->propeller
                                                    : nullptr;
        if (!kept)
            continue;
        if (recording->telemetry.size() + recording->propeller.size() >= mostRecordedLines)
            return failure(name, QStringLiteral("more than %1 rows to replay; replay a shorter "
                                                "recording")
                                     .arg(mostRecordedLines));
        kept->append(std::chrono::duration_cast<Nanos>(
                         std::chrono::duration<double>(table.seconds[row])),
                     line);
    }
    if (recording->telemetry.isEmpty())
        return failure(name, QStringLiteral("no telemetry row (a \"line\" starting with \"=\")"));
    return {recording, QString()};
}
