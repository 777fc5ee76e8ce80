// SPDX-License-Identifier: GPL-3.0-or-later
#include "viewer/logbook_model.h"

#include "logbook/logbook_text.h"
#include "viewer/value_text.h"

#include <QBrush>
#include <QDir>

#include <algorithm>

namespace {

// The peak temperature's heading gets the scale's unit.
const char *const headers[LogbookModel::ColumnCount] = {
    "Recording", "Start",    "Duration", "Peak RPM", "Peak advance (deg)", "Cranking volts (V)",
    "Peak temp.", "Cautions", "Alarms",
};

const char *const headerTips[LogbookModel::ColumnCount] = {
    "The recording the run is in, from the logbook's folder",
    "When the engine began to turn, local time with its offset from UTC",
    "How long the engine turned",
    "The highest engine speed of the run",
    "The highest ignition advance of the run",
    "The lowest bus volts while the starter cranked the engine",
    "The highest temperature of the run",
    "Cautions that began during the run",
    "Alarms that began during the run",
};

std::optional<double> storedFigureOf(const LoggedRun &run, int column)
{
    switch (column) {
    case LogbookModel::PeakRpm: return run.peakRpm;
    case LogbookModel::PeakAdvance: return run.peakAdvance;
    case LogbookModel::CrankingVolts: return run.crankingVolts;
    case LogbookModel::PeakTemperature: return run.peakTemperature;
    default: return std::nullopt;
    }
}

std::optional<double> figureOf(const LoggedRun &run, int column, TemperatureScale scale)
{
    const std::optional<double> stored = storedFigureOf(run, column);
    if (stored && column == LogbookModel::PeakTemperature)
        return shownTemperature(*stored, scale);
    return stored;
}

} // namespace

LogbookModel::LogbookModel(QObject *parent) : QAbstractTableModel(parent) {}

void LogbookModel::setLogbook(Logbook logbook)
{
    beginResetModel();
    book = std::move(logbook);
    places.clear();
    for (size_t r = 0; r < book.recordings.size(); ++r)
        for (size_t run = 0; run < book.recordings[r].runs.size(); ++run)
            places.push_back({r, run});
    endResetModel();
}

void LogbookModel::setTemperatureScale(TemperatureScale scale)
{
    if (scale == temperatureScale)
        return;
    temperatureScale = scale;
    emit headerDataChanged(Qt::Horizontal, PeakTemperature, PeakTemperature);
    if (!places.empty())
        emit dataChanged(index(0, PeakTemperature), index(rowCount() - 1, PeakTemperature));
}

int LogbookModel::rowOf(RunPlace place) const
{
    const auto found = std::find(places.begin(), places.end(), place);
    return found == places.end() ? -1 : int(found - places.begin());
}

QString LogbookModel::recordingName(size_t recording) const
{
    return QDir(book.folder).relativeFilePath(book.recordings[recording].path);
}

int LogbookModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(places.size());
}

int LogbookModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant LogbookModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || size_t(index.row()) >= places.size())
        return {};
    const RunPlace place = places[size_t(index.row())];
    const LoggedRun &run = runAt(book, place);
    switch (role) {
    case Qt::DisplayRole:
        return shown(place, index.column());
    case sortRole:
        return sortKey(place, index.column());
    case Qt::TextAlignmentRole:
        return index.column() <= Start ? int(Qt::AlignLeft | Qt::AlignVCenter)
                                           : int(Qt::AlignRight | Qt::AlignVCenter);
    case Qt::ForegroundRole:
        if (index.column() == Alarms && run.alarms > 0)
            return QBrush(QColor(200, 0, 0));
        if (index.column() == Cautions && run.cautions > 0)
            return QBrush(QColor(170, 100, 0));
        return {};
    case Qt::ToolTipRole:
        return index.column() == Recording ? book.recordings[place.recording].path : QVariant();
    default:
        return {};
    }
}

QVariant LogbookModel::shown(RunPlace place, int column) const
{
    const LoggedRun &run = runAt(book, place);
    switch (column) {
    case Recording: return recordingName(place.recording);
    case Start: return runStartText(run.start);
    case Duration: return runDurationText(run.durationSeconds);
    case Cautions: return run.cautions;
    case Alarms: return run.alarms;
    default: {
        const std::optional<double> value = figureOf(run, column, temperatureScale);
        return value ? figureText(*value) : QStringLiteral("-");
    }
    }
}

QVariant LogbookModel::sortKey(RunPlace place, int column) const
{
    const LoggedRun &run = runAt(book, place);
    switch (column) {
    case Recording: return recordingName(place.recording);
    case Start: return run.start.toMSecsSinceEpoch();
    case Duration: return run.durationSeconds;
    case Cautions: return run.cautions;
    case Alarms: return run.alarms;
    default: {
        // Either scale sorts alike.
        const std::optional<double> value = storedFigureOf(run, column);
        return value ? QVariant(*value) : QVariant();
    }
    }
}

QVariant LogbookModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= ColumnCount)
        return QAbstractTableModel::headerData(section, orientation, role);
    if (role == Qt::DisplayRole && section == PeakTemperature)
        return QStringLiteral("%1 (%2)").arg(QLatin1String(headers[section]),
                                            temperatureUnit(temperatureScale));
    if (role == Qt::DisplayRole)
        return QString::fromLatin1(headers[section]);
    if (role == Qt::ToolTipRole)
        return QString::fromLatin1(headerTips[section]);
    return {};
}
