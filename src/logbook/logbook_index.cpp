// SPDX-License-Identifier: GPL-3.0-or-later
#include "logbook/logbook_index.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <cmath>

namespace {

// Raised whenever what an entry holds, or how runs are counted, changes.
constexpr int formatVersion = 1;

QJsonValue optionalJson(const std::optional<float> &value)
{
    return value ? QJsonValue(double(*value)) : QJsonValue();
}

QJsonObject runJson(const LoggedRun &run)
{
    return {
        {"first", qint64(run.rows.first)},
        {"last", qint64(run.rows.last)},
        {"start", run.start.toString(Qt::ISODateWithMs)},
        {"startSeconds", run.startSeconds},
        {"durationSeconds", run.durationSeconds},
        {"peakRpm", optionalJson(run.peakRpm)},
        {"peakAdvance", optionalJson(run.peakAdvance)},
        {"crankingVolts", optionalJson(run.crankingVolts)},
        {"peakTemperature", optionalJson(run.peakTemperature)},
        {"cautions", run.cautions},
        {"alarms", run.alarms},
    };
}

QJsonObject entryJson(const IndexEntry &entry)
{
    const LoggedRecording &recording = entry.recording;
    QJsonArray runs;
    for (const LoggedRun &run : recording.runs)
        runs.append(runJson(run));
    return {
        {"size", recording.size},
        {"modified", recording.modified.toMSecsSinceEpoch()},
        {"limits", entry.limits},
        {"skipped", recording.skipped},
        {"recordedSeconds", recording.recordedSeconds},
        {"runs", runs},
    };
}

// The index is a file anyone could have edited: every field is checked, and
// an entry with one out of place is dropped (its file is read again).
class EntryReader {
public:
    explicit EntryReader(const QJsonObject &object) : object(object) {}
    bool ok = true;

    double number(const char *key, double least = 0, double most = 1e15)
    {
        const QJsonValue value = object.value(QLatin1String(key));
        const double number = value.toDouble(std::nan(""));
        ok = ok && value.isDouble() && number >= least && number <= most;
        return ok ? number : least;
    }
    QString text(const char *key)
    {
        const QJsonValue value = object.value(QLatin1String(key));
        ok = ok && value.isString();
        return value.toString();
    }
    std::optional<float> figure(const char *key)
    {
        const QJsonValue value = object.value(QLatin1String(key));
        if (value.isNull())
            return std::nullopt;
        return float(number(key, -1e6, 1e6));
    }
    QJsonArray array(const char *key)
    {
        const QJsonValue value = object.value(QLatin1String(key));
        ok = ok && value.isArray();
        return value.toArray();
    }

private:
    QJsonObject object;
};

std::optional<LoggedRun> runOf(const QJsonValue &value)
{
    EntryReader reader(value.toObject());
    LoggedRun run;
    run.rows.first = size_t(reader.number("first", 0, double(mostRecordingRows)));
    run.rows.last = size_t(reader.number("last", double(run.rows.first), double(mostRecordingRows)));
    run.start = QDateTime::fromString(reader.text("start"), Qt::ISODateWithMs);
    run.startSeconds = reader.number("startSeconds", 0, longestRecordingSeconds);
    run.durationSeconds = reader.number("durationSeconds", 0, longestRecordingSeconds);
    run.peakRpm = reader.figure("peakRpm");
    run.peakAdvance = reader.figure("peakAdvance");
    run.crankingVolts = reader.figure("crankingVolts");
    run.peakTemperature = reader.figure("peakTemperature");
    run.cautions = int(reader.number("cautions", 0, 1e9));
    run.alarms = int(reader.number("alarms", 0, 1e9));
    if (!reader.ok || !value.isObject() || !run.start.isValid())
        return std::nullopt;
    return run;
}

std::optional<IndexEntry> entryOf(const QString &path, const QJsonValue &value)
{
    EntryReader reader(value.toObject());
    IndexEntry entry;
    LoggedRecording &recording = entry.recording;
    recording.path = path;
    recording.size = qint64(reader.number("size"));
    recording.modified =
        QDateTime::fromMSecsSinceEpoch(qint64(reader.number("modified", -1e15)), Qt::UTC);
    entry.limits = reader.text("limits");
    recording.skipped = reader.text("skipped");
    recording.recordedSeconds = reader.number("recordedSeconds", 0, longestRecordingSeconds);
    for (const QJsonValue &run : reader.array("runs")) {
        std::optional<LoggedRun> read = runOf(run);
        if (!read)
            return std::nullopt;
        recording.runs.push_back(*read);
    }
    if (!reader.ok || !value.isObject())
        return std::nullopt;
    return entry;
}

QString limitText(const std::optional<Limit> &limit)
{
    return limit ? QStringLiteral("%1/%2").arg(limit->value, 0, 'g', 17).arg(limit->onDelaySeconds,
                                                                              0, 'g', 17)
                 : QStringLiteral("-");
}

} // namespace

LogbookIndex readLogbookIndex(const QString &path)
{
    LogbookIndex index;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > largestIndexBytes)
        return index;
    const QJsonObject root = QJsonDocument::fromJson(file.read(largestIndexBytes)).object();
    if (root.value(QLatin1String("format")).toInt() != formatVersion)
        return index;
    const QJsonObject files = root.value(QLatin1String("files")).toObject();
    for (auto it = files.begin(); it != files.end(); ++it)
        if (std::optional<IndexEntry> entry = entryOf(it.key(), it.value()))
            index.emplace(it.key(), std::move(*entry));
    return index;
}

bool writeLogbookIndex(const QString &path, const LogbookIndex &index)
{
    QJsonObject files;
    for (const auto &[file, entry] : index)
        files.insert(file, entryJson(entry));
    const QJsonObject root{{"format", formatVersion}, {"files", files}};
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return false;
    QSaveFile save(path);
    return save.open(QIODevice::WriteOnly)
           && save.write(QJsonDocument(root).toJson(QJsonDocument::Compact)) >= 0 && save.commit();
}

QString limitsFingerprint(const EngineLimits &limits)
{
    QString text;
    for (const Figure figure : allFigures()) {
        const FigureLimits &of = limits.of(figure);
        text += QStringLiteral("%1:%2,%3,%4,%5,%6;")
                    .arg(QLatin1String(figureInfo(figure).key), limitText(of.lowAlarm),
                         limitText(of.lowCaution), limitText(of.highCaution),
                         limitText(of.highAlarm))
                    .arg(of.deadbandFor(figure), 0, 'g', 17);
    }
    return QString::fromLatin1(
        QCryptographicHash::hash(text.toUtf8(), QCryptographicHash::Sha1).toHex());
}
